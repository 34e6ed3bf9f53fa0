// The usage, as "/?" shows it: every option and every exit status.
#pragma once

#include <cstdint>
#include <string>

#include "startup/policies.h"

namespace kestrum {

// The options, the exit statuses, and the width in force with where it came
// from (the command line, or a policy).
std::string Usage(std::int16_t width, Source widthFrom);

}  // namespace kestrum
