// Toggling a window between enabled and disabled.
#pragma once

#include <functional>
#include <memory>

#include "actions/confirmation.h"
#include "winsys/timers.h"
#include "winsys/window_system.h"

namespace kestrum {

enum class ToggleOutcome {
    Toggled,       // the window's state changed
    NotAnswering,  // the window does not answer; nothing was asked of it
    Pending,       // asked, but the window stopped answering: it changes
                   // when the window answers again
    Unchanged,     // asked, and answering, but its state is what it was
};

// Enables a window when it is disabled and disables it when it is enabled.
// It first asks whether the window answers (half a second at most): the
// change goes through the window's own thread. Then it asks for the change
// and reads the state back for a second at most. All on timers: the caller
// never waits for the window. The state lives in the other window and is
// read afresh each time.
class EnableToggle {
public:
    using Done = std::function<void(ToggleOutcome)>;

    EnableToggle(WindowSystem& system, Timers& timers);
    EnableToggle(const EnableToggle&) = delete;
    EnableToggle& operator=(const EnableToggle&) = delete;

    // Replaces a toggle under way (unreported); `done` is called once, from
    // a timer, or from here when the window is gone.
    void Start(WindowHandle window, Done done);
    void Cancel();
    bool Running() const { return static_cast<bool>(done_); }

private:
    void Answered(bool answered);
    void Finish(ToggleOutcome outcome);

    WindowSystem& system_;
    Confirmation confirmation_;
    Done done_;
    WindowHandle window_ = 0;
    bool enabledBefore_ = false;
    std::unique_ptr<AnswerProbe> probe_;
};

}  // namespace kestrum
