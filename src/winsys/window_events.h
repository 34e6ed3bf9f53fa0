// Other programs' windows as they appear: the port the resident watch hears
// the desktop through. Windows reports a window's creation everywhere, and
// its showing and a restore from minimized where it can (not every window
// manager does); none says what the window is, and it may be gone by the
// time it is looked at.
#pragma once

#include <functional>

#include "winsys/window_system.h"

namespace kestrum {

enum class WindowEvent {
    Created,  // made (it may not be shown yet, nor hold its children yet)
    Shown,    // made visible after it was made
    Restored, // a minimized window restored
};

class WindowEvents {
public:
    using Handler = std::function<void(WindowEvent, WindowHandle)>;

    virtual ~WindowEvents() = default;

    // Reports other programs' windows to `handler` from the program's loop
    // until Stop; this program's own windows are not reported. False when
    // the reports cannot be had.
    virtual bool Start(Handler handler) = 0;
    virtual void Stop() = 0;
};

}  // namespace kestrum
