// What an administrator's policies make of the start options: a policy wins
// over the command line, the computer's over the user's, and a value out of
// its range or of the wrong type is ignored (and said so) as if it were not
// there.
#pragma once

#include <cstdint>
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

// A width, and where it came from.
struct WidthChoice {
    std::int16_t width;
    Source from;
    friend bool operator==(const WidthChoice&, const WidthChoice&) = default;
};

// "the computer's policy", "the user's policy", "the command line", "your
// own width".
std::string_view SourceWords(Source source);

// What an unattended run and the watch report to the event log.
enum class EventLevel {
    None = 0,
    Problems = 1,  // warnings and errors, and the watch's start and end
    Every = 2,     // those, and every width set
};

struct PoliciesApplied {
    Source width = Source::Given;
    Source settle = Source::Given;
    Source logFile = Source::Given;
    EventLevel eventLevel = EventLevel::Problems;
    // RememberUserWidth and ShowTrayIcon: 1 unless a policy says 0.
    bool rememberUserWidth = true;
    bool showTrayIcon = true;
    // One line for each policy value ignored, for the log.
    std::vector<std::string> ignored;
};

// Replaces the width, the settling time and the log file with the policies',
// and reads the event level, whether the user's width is kept and whether
// the icon is shown.
PoliciesApplied ApplyPolicies(StartOptions& options, PolicyStore& policies);

}  // namespace kestrum
