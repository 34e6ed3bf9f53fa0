// What an administrator's policies make of the start options: a policy wins
// over the command line, the computer's over the user's, and a value out of
// its range is ignored (and said so) as if it were not there.
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
    UserWidth,       // the width the user gave the pane, kept by the watch
};

// "the computer's policy", "the user's policy", "the command line", "your
// own width".
std::string_view SourceWords(Source source);

struct PoliciesApplied {
    Source width = Source::Given;
    Source settle = Source::Given;
    Source logFile = Source::Given;
    // RememberUserWidth and ShowTrayIcon: 1 unless a policy says 0.
    bool rememberUserWidth = true;
    bool showTrayIcon = true;
    // One line for each policy value ignored, for the log.
    std::vector<std::string> ignored;
};

// Replaces the width, the settling time and the log file with the policies',
// and reads whether the user's width is kept and the icon shown.
PoliciesApplied ApplyPolicies(StartOptions& options, PolicyStore& policies);

}  // namespace kestrum
