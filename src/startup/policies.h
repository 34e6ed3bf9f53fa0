// What an administrator's policies make of the start options: a policy wins
// over the command line, the computer's over the user's, and a value out of
// its range or of the wrong type is ignored (and said so) as if it were not
// there.
#pragma once

#include <string>
#include <string_view>
#include <vector>

#include "startup/start_options.h"
#include "winsys/policy_store.h"

namespace kestrum {

enum class Source {
    Given,           // the command line, or the default
    MachinePolicy,
    UserPolicy,
};

// "the computer's policy", "the user's policy", "the command line".
std::string_view SourceWords(Source source);

struct PoliciesApplied {
    Source width = Source::Given;
    Source settle = Source::Given;
    Source logFile = Source::Given;
    // One line for each policy value ignored, for the log.
    std::vector<std::string> ignored;
};

// Replaces the width, the settling time and the log file with the policies'.
PoliciesApplied ApplyPolicies(StartOptions& options, PolicyStore& policies);

}  // namespace kestrum
