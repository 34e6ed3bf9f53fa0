// How the start-up sequence ended, and the process exit status for it.
#pragma once

namespace kestrum {

enum class StartOutcome {
    Shown,            // the window is shown; the program runs until it is closed
    AutoApplied,      // unattended run: width applied, the program ends
    NoClientFound,    // "no C/Side Application found" shown, the program ends
    WidthOutOfRange,  // "/newsize=" beyond 16 bits reported, the program ends
};

// 0 for a normal run, a distinct nonzero status for each failure.
inline int ExitStatusFor(StartOutcome outcome) {
    switch (outcome) {
        case StartOutcome::NoClientFound: return 1;
        case StartOutcome::WidthOutOfRange: return 2;
        case StartOutcome::Shown:
        case StartOutcome::AutoApplied: break;
    }
    return 0;
}

}  // namespace kestrum
