// Setting the width of a pane, and seeing that it took it: the one action
// the button, the unattended run and the watch share.
#pragma once

#include <cstdint>
#include <functional>
#include <memory>

#include "actions/confirmation.h"
#include "winsys/timers.h"
#include "winsys/window_system.h"

namespace kestrum {

// What the pane width reset did.
enum class ResetOutcome {
    Moved,            // the pane was given the width, and was seen to have it
    AlreadyThatWide,  // it had the width already; nothing moved
    PaneGone,         // no pane was listed, or it (or its parent) was gone by the reset
    Refused,          // the window manager refused or dropped the move (higher rights)
    NotAnswering,     // not seen in time, and the client does not answer: the
                      // move waits in its queue until it does
    NotTaken,         // not seen in time although the client answers
    OtherAccount,     // refused, or not seen although the client answers: it
                      // runs under another account
};

// The pane has the width: it was moved, or had it already.
inline bool ResetSucceeded(ResetOutcome outcome) {
    return outcome == ResetOutcome::Moved || outcome == ResetOutcome::AlreadyThatWide;
}

struct ResetReport {
    ResetOutcome outcome = ResetOutcome::PaneGone;
    WindowHandle pane = 0;
    // In the pane's own pixels: as it was read first, and as it was last seen.
    std::int32_t widthBefore = 0;
    std::int32_t widthAfter = 0;
};

// Gives a pane a width, keeping its logical place and its height, then reads
// it back every 15 ms for a second at most, on timers: nothing waits for the
// pane's client, which may not answer at all.
class PaneWidthReset {
public:
    using Done = std::function<void(const ResetReport&)>;

    PaneWidthReset(WindowSystem& system, Timers& timers);
    PaneWidthReset(const PaneWidthReset&) = delete;
    PaneWidthReset& operator=(const PaneWidthReset&) = delete;

    // Replaces a reset under way (its `done` is not called). `done` is called
    // once: from inside Start when the outcome is known at once (already that
    // wide, refused, gone), otherwise from a timer. It may start another
    // reset, or destroy this one: nothing of it runs after `done`.
    void Start(WindowHandle pane, std::int16_t width, Done done);
    // The reset under way ends, unreported.
    void Cancel();
    bool Running() const { return static_cast<bool>(done_); }

private:
    // Whether the pane shows the width, or is gone (nothing more to see).
    bool Seen();
    void Finish(ResetOutcome outcome);

    WindowSystem& system_;
    Confirmation confirmation_;
    Done done_;
    ResetReport report_;
    WindowHandle parent_ = 0;
    Rect wanted_;
    std::unique_ptr<AnswerProbe> probe_;
};

}  // namespace kestrum
