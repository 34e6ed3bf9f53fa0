// What a run is to do, decided once at its start from its command line and
// an administrator's policies, and handed to the road it takes: the window's
// start-up (unattended or not), the watch, or its stop.
#pragma once

#include <optional>
#include <string>
#include <string_view>

#include "startup/policies.h"
#include "startup/start_options.h"
#include "winsys/policy_store.h"
#include "winsys/session_watches.h"
#include "winsys/user_width_store.h"

namespace kestrum {

enum class Road {
    Usage,        // "/?": tell the usage and end
    RefuseValue,  // a value out of range: say so and end, nothing searched
    StopWatch,    // "/stop": end this session's watch
    AskWatch,     // "/apply", "/pause", "/resume", "/forget": ask this session's watch
    Watch,        // "/watch": stay and set every client's pane as it appears
    Window,       // the window's start-up: the unattended run, or the window
};

struct StartPlan {
    std::string argumentText;  // the command line after the program's own path
    StartOptions options;  // the command line's, the policies' values over them
    PoliciesApplied from;  // where the values came from; policy values passed over
    std::optional<RejectedValue> rejected;  // the first value out of range
    // No box and no window: where no one can see them, in an unattended run
    // with "/quiet", and for the watch and its stop (unless the usage is asked).
    bool quiet = false;
    bool logs = false;  // unattended, watching or stopping the watch, with a log file named
    // What the event log gets: the policy's level when unattended or
    // watching; nothing from the window.
    EventLevel eventLevel = EventLevel::None;
    Road road = Road::Window;
    // What the watch is asked on that road: the first of /pause, /resume,
    // /forget and /apply given.
    WatchRequest request = WatchRequest::ApplyNow;
    // The watch keeps a width the user gives the pane: no policy width and
    // no policy against it. The width in force is then the user's where one
    // is kept; forgetting it brings back the width in force without it.
    bool remembersUserWidth = false;
    WidthChoice withoutUsers{kDefaultWidth, Source::Given};
    // The user's own width found and passed over: out of range, or no number.
    std::optional<StoredWidth> userWidthIgnored;
    bool showsIcon = true;  // the watch's, in the notification area
};

// With a program to run on the window's road (/run=, /AUTO /run=), the wait
// is a minute unless /wait= gives one: the client is yet to start.
inline constexpr std::int16_t kWaitForProgram = 60;

// Which width is in force: a policy's (the computer's, then the user's), the
// user's own kept in `userWidths`, the command line's, 300. `policies` and
// `userWidths` null: none.
StartPlan PlanStart(std::string_view argumentText, PolicyStore* policies, bool boxesCanBeAnswered,
                    UserWidthStore* userWidths = nullptr);

}  // namespace kestrum
