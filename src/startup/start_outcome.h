// How the start-up sequence ended, and every exit status the process gives.
#pragma once

#include <string_view>

namespace kestrum {

// The process's exit statuses, all of them (README.md and the usage list them).
inline constexpr int kExitNormal = 0;            // done, or the window was closed
inline constexpr int kExitNoClient = 1;          // no client was found
inline constexpr int kExitOutOfRange = 2;        // an option's value out of range
inline constexpr int kExitInternalFailure = 3;   // no window could be made, or memory ran out
inline constexpr int kExitPaneGone = 4;          // unattended: the pane was gone by the reset
inline constexpr int kExitNothingChanged = 5;    // no window could be shown (or seen), nothing changed
inline constexpr int kExitWidthNotSeen = 6;      // the width was not seen within a second
inline constexpr int kExitMoveRefused = 7;       // the window manager refused the move
inline constexpr int kExitAlreadyWatching = 8;   // /watch: this session has a watch already
inline constexpr int kExitProgramNotStarted = 9; // /run=: the program could not be started
inline constexpr int kExitNoWatch = 10;          // /apply, /pause, /resume, /forget: no watch runs

// What each status means, as the usage tells it.
struct ExitStatusMeaning {
    int status;
    std::string_view meaning;
};
inline constexpr ExitStatusMeaning kExitStatuses[] = {
    {kExitNormal, "done, or the window was closed"},
    {kExitNoClient, "no client was found"},
    {kExitOutOfRange, "an option's value is out of range or cannot be read"},
    {kExitInternalFailure,
     "internal failure (/stop, /apply, /pause, /resume, /forget: the watch did not end or answer within 5 seconds, "
     "or runs with higher rights)"},
    {kExitPaneGone, "the pane was gone"},
    {kExitNothingChanged,
     "nothing was changed and no window could be shown (/watch: no user's windows can be seen from here)"},
    {kExitWidthNotSeen, "the width was not seen within a second"},
    {kExitMoveRefused, "the client's windows may not be changed (it runs with higher rights, or under another account)"},
    {kExitAlreadyWatching, "Kestrum already watches this session"},
    {kExitProgramNotStarted, "the program given with /run= could not be started"},
    {kExitNoWatch, "/apply, /pause, /resume, /forget: no watch runs in this session"},
};

enum class StartOutcome {
    Shown,            // the window is shown; the program runs until it is closed
    HelpShown,        // the usage was asked for and told, the program ends
    AutoApplied,      // unattended run: width applied and seen (or already right)
    PaneGone,         // unattended run: the pane was gone by the reset
    WidthNotSeen,     // unattended run: the width was not seen within a second
    MoveRefused,      // unattended run: the window manager refused the move
    NoClientFound,    // no client was found, the program ends
    OutOfRange,       // an option's value out of range, the program ends
    NothingChanged,   // the window would be shown, but no one could see it
};

// 0 for a normal run, a distinct nonzero status for each failure.
inline int ExitStatusFor(StartOutcome outcome) {
    switch (outcome) {
        case StartOutcome::NoClientFound: return kExitNoClient;
        case StartOutcome::OutOfRange: return kExitOutOfRange;
        case StartOutcome::PaneGone: return kExitPaneGone;
        case StartOutcome::NothingChanged: return kExitNothingChanged;
        case StartOutcome::WidthNotSeen: return kExitWidthNotSeen;
        case StartOutcome::MoveRefused: return kExitMoveRefused;
        case StartOutcome::Shown:
        case StartOutcome::HelpShown:
        case StartOutcome::AutoApplied: break;
    }
    return kExitNormal;
}

}  // namespace kestrum
