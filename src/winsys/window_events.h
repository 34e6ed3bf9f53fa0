// Other programs' windows as they appear: the port the resident watch hears
// the desktop through. Windows reports a window's creation everywhere, and
// its showing and a restore from minimized where it can (not every window
// manager does); none says what the window is, and it may be gone by the
// time it is looked at. The focus moving, the mouse let go after a drag and
// a window moved or resized tell that the user is at work; Wine 8 reports
// only the creation and the focus.
#pragma once

#include <functional>
#include <vector>

#include "winsys/window_system.h"

namespace kestrum {

enum class WindowEvent {
    Created,       // made (it may not be shown yet, nor hold its children yet)
    Shown,         // made visible after it was made
    Restored,      // a minimized window restored
    Focused,       // took the keyboard focus
    CaptureEnded,  // let the mouse go: the end of a drag
    Placed,        // moved or resized; only in the programs ReportPlacesIn names
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
    // From now on Placed is reported for the windows of the programs that
    // hold `windows`, and of no other (every move on the desktop would cost
    // too much); this replaces the programs named before, and none ends it.
    virtual void ReportPlacesIn(const std::vector<WindowHandle>& windows) = 0;
};

}  // namespace kestrum
