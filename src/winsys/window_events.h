// Other programs' windows as they appear: the port the resident watch hears
// the desktop through, only what it acts on. Windows reports a window's
// creation everywhere, and its showing, a restore from minimized and a
// mouse capture's start and end (a drag) where it can (Wine 8 reports only
// the creation); none says what the window is, and it may be gone by the
// time it is looked at. Moves and sizes are heard only for the program
// ReportPlacesIn names: every move on the desktop, the mouse pointer's
// included, would wake the watch all day.
#pragma once

#include <functional>

#include "winsys/window_system.h"

namespace kestrum {

enum class WindowEvent {
    Created,         // made (it may not be shown yet, nor hold its children yet)
    Shown,           // made visible after it was made
    Restored,        // a minimized window restored
    CaptureStarted,  // took the mouse: the start of a drag
    CaptureEnded,    // let the mouse go: the end of a drag
    Placed,          // moved or resized; only in the program ReportPlacesIn names
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
    // From now on Placed is reported for the windows of the program that
    // holds `window`, and of no other; 0 ends it.
    virtual void ReportPlacesIn(WindowHandle window) = 0;
};

}  // namespace kestrum
