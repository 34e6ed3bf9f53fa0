// The usage, as "/?" shows it: every option and every exit status.
#pragma once

#include <string>

namespace kestrum {

std::string Usage();

}  // namespace kestrum
