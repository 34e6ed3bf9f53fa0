// How the start-up sequence ended, and every exit status the process gives.
#pragma once

namespace kestrum {

// The process's exit statuses, all of them (README.md lists them for users).
inline constexpr int kExitNormal = 0;            // width applied, or the window was closed
inline constexpr int kExitNoClient = 1;          // "no C/Side Application found"
inline constexpr int kExitWidthOutOfRange = 2;   // "/newsize=" beyond 16 bits
inline constexpr int kExitInternalFailure = 3;   // no window could be made, or memory ran out
inline constexpr int kExitPaneNotReset = 4;      // unattended: the pane vanished before the reset

enum class StartOutcome {
    Shown,            // the window is shown; the program runs until it is closed
    AutoApplied,      // unattended run: width applied (or already right), the program ends
    AutoFailed,       // unattended run: the pane was gone by the reset, "NavPane was not
                      // found" shown, the program ends
    NoClientFound,    // "no C/Side Application found" shown, the program ends
    WidthOutOfRange,  // "/newsize=" beyond 16 bits reported, the program ends
};

// 0 for a normal run, a distinct nonzero status for each failure.
inline int ExitStatusFor(StartOutcome outcome) {
    switch (outcome) {
        case StartOutcome::NoClientFound: return kExitNoClient;
        case StartOutcome::WidthOutOfRange: return kExitWidthOutOfRange;
        case StartOutcome::AutoFailed: return kExitPaneNotReset;
        case StartOutcome::Shown:
        case StartOutcome::AutoApplied: break;
    }
    return kExitNormal;
}

}  // namespace kestrum
