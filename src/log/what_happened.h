// What the run log is told: each thing an unattended run or the watch did or
// met, with the facts its line and its event carry.
#pragma once

#include <cstdint>
#include <string_view>

#include "actions/pane_width_reset.h"
#include "startup/policies.h"
#include "startup/start_options.h"
#include "winsys/program_line.h"
#include "winsys/session_watches.h"
#include "winsys/user_width_store.h"
#include "winsys/window_system.h"

namespace kestrum {

// How a pane's width reset ended, for the client that holds the pane.
struct PaneOutcome {
    WindowHandle client = 0;
    std::string_view title;  // the client's
    ResetReport report;
    std::int16_t width = 0;  // the width in force, and where it came from
    Source widthFrom = Source::Given;
    bool again = false;  // told of this client before: its line alone, no event
};

// A client with several panes, left alone by the watch.
struct SeveralPanes {
    WindowHandle client = 0;
    std::string_view title;
    WindowHandle pane = 0;
};

// A policy value passed over, in the words of the start-up plan.
struct PolicyIgnored {
    std::string_view text;
};

// The user's own width found in the user's store and passed over.
struct UserWidthIgnored {
    StoredWidth stored;
};

// A command-line value its option cannot take: the run ends, nothing searched.
struct ValueRefused {
    const RejectedValue& value;
};

// An unattended run begins, with the width it sets.
struct UnattendedStarted {
    std::int16_t width = 0;
    Source widthFrom = Source::Given;
};

// An unattended run that changed nothing: it found no client, or could not
// choose one pane and shows its window or, quiet, ends.
struct NothingChosen {
    enum class Why { NoClient, SeveralClients, SeveralPanes, NoPane };
    Why why = Why::NoClient;
    bool windowShown = false;
};

struct WatchStarted {
    std::int16_t width = 0;
    Source widthFrom = Source::Given;
    int settleMs = 0;
    Source settleFrom = Source::Given;
};

// A /watch that does not become the session's watch.
enum class WatchNotStarted {
    Session0,           // no user's windows can be seen: session 0
    StationNotVisible,  // no user's windows can be seen: a window station not visible
    AlreadyWatching,
    AlreadyWatchingWithHigherRights,
    MarkNotMade,  // the session's mark could not be made
};

// A /stop that could not end this session's watch.
enum class StopFailed {
    HigherRights,  // the watch runs with higher rights and cannot be told
    DidNotEnd,     // told, and still there after 5 seconds
    NotReached,    // its window never came within 5 seconds
};

// A command (/apply, /pause, /resume, /forget) that this session's watch did
// not do.
struct AskFailed {
    enum class Why {
        NoWatch,       // none runs in this session
        HigherRights,  // it runs with higher rights and cannot be asked
        NotAnswered,   // asked, and it did not answer within 5 seconds
        NotReached,    // its window never came within 5 seconds
    };
    WatchRequest request = WatchRequest::ApplyNow;
    Why why = Why::NoWatch;
};

// The watch asked from the command line: told before it does it, with
// nothing to do where it is so already (paused, no user's width kept).
struct AskedFromCommandLine {
    WatchRequest request = WatchRequest::ApplyNow;
    bool soAlready = false;
};

// The program /run= names, started; or where a watch runs already, started
// for that watch to set its pane.
struct ProgramStarted {
    const ProgramLine& line;
    bool forTheRunningWatch = false;
};

// The program /run= names could not be started: Windows's reason.
struct ProgramNotStarted {
    const ProgramLine& line;
    std::string_view reason;
};

// A pane the watch waited for, given up.
struct PaneGivenUp {
    enum class Why {
        NotShown,    // not shown (or its client not restored) within a minute
        GoneMoving,  // gone while it still moved, over a minute after it appeared
    };
    WindowHandle client = 0;
    std::string_view title;
    WindowHandle pane = 0;
    Why why = Why::NotShown;
};

// A width the watch asked for and had not seen taken when it ended.
struct WidthNotYetSeen {
    WindowHandle client = 0;
    std::string_view title;
    WindowHandle pane = 0;
    std::int32_t widthBefore = 0;
    std::int16_t width = 0;
};

struct WatchPaused {
    bool paused = true;  // false: no longer paused
};

// The width a user gave a pane, kept as the user's own.
struct UserWidthKept {
    std::int32_t width = 0;
    std::int16_t was = 0;
    bool stored = true;  // false: for this session only
};

// The user's own width forgotten: the width in force is `back` again.
struct UserWidthForgotten {
    std::int16_t width = 0;
    std::int16_t back = 0;
    Source backFrom = Source::Given;
};

// What the watch could not do, that ends nothing.
enum class WatchMishap {
    NotRegisteredForRestart,  // it will not be started again after an update
    WindowNotOpened,          // Kestrum's window, asked for from its icon
};

// How the watch ended, when it ended as asked.
enum class WatchEnd {
    Stopped,          // /stop
    StoppedFromIcon,  // "Exit" in the menu of its icon
    SessionEnded,     // a logoff, or the end of the system
    ClosedByWindows,  // asked to close by Windows: an installer replacing its files, or to free resources
    EndedWithClient,  // the program it started has ended, and no client remains
};

// A failure the run cannot go on from (it ends with status 3).
enum class Failure {
    WatchNotStarted,  // the watch cannot hear the window events
    WatchFailed,      // the watch, while it ran
    RunFailed,        // the window could not be made, or memory ran out
};

}  // namespace kestrum
