// The boundary between Kestrum and the window manager.
//
// Every query, enumeration and change that Kestrum makes to windows of other
// processes goes through this interface (the message box has a port of its
// own, MessageBoxes). The Windows build implements it over user32; the
// in-memory desktop implements it for the tests. Nothing here includes a
// system header.
#pragma once

#include <cstdint>
#include <functional>
#include <memory>
#include <string>

#include "winsys/pixels.h"
#include "winsys/text_room.h"

namespace kestrum {

// A window of any process: an opaque 32-bit value, handed back unchanged.
// Handles of other processes' windows are never owned or closed.
using WindowHandle = std::int32_t;

struct Rect {
    std::int32_t left = 0;
    std::int32_t top = 0;
    std::int32_t right = 0;
    std::int32_t bottom = 0;
    friend bool operator==(const Rect&, const Rect&) = default;
};

// The widths a pane is given, and a width the user gives one may be kept
// at: from 1 pixel to the widest a 16-bit width holds.
inline constexpr std::int32_t kNarrowestPane = 1;
inline constexpr std::int32_t kWidestPane = 32767;
inline constexpr bool IsPaneWidth(std::int64_t width) { return width >= kNarrowestPane && width <= kWidestPane; }

// right - left, however far out the rectangle lies.
inline std::int32_t WidthOf(const Rect& rect) { return ClampToInt32(std::int64_t{rect.right} - rect.left); }

// How another program runs beside this one.
enum class Rights {
    Same,
    Elevated,      // as administrator, where this one is not
    OtherAccount,  // under another user's account
};

// What became of a move asked of the window manager.
enum class MoveResult {
    Posted,   // asked of the window; it takes effect when the window's thread handles it
    Refused,  // the window manager refused it: the window belongs to a program with
              // higher rights (access denied)
    Failed,   // anything else, a handle that names no window included
};

// How a window answered when asked whether it is answering.
enum class Reply {
    Answered,
    NoAnswer,  // its thread has not answered (yet): busy or hung
    NoWindow,  // the handle names no window
};

// An "are you answering?" sent to a window's thread without waiting for the
// answer, which comes when that thread handles it.
class AnswerProbe {
public:
    virtual ~AnswerProbe() = default;
    // Answered once the thread has answered; NoAnswer until then; NoWindow
    // when the window is gone.
    virtual Reply Heard() = 0;
};

// Called once per window an enumeration reports; false stops the enumeration.
using WindowVisitor = std::function<bool(WindowHandle)>;

class WindowSystem {
public:
    virtual ~WindowSystem() = default;

    // Every top-level window, front to back in z-order. Returns false when the
    // visitor stopped the enumeration.
    virtual bool EnumerateTopLevelWindows(const WindowVisitor& visit) = 0;
    // Every descendant of parent at any depth, depth-first (a window, then
    // its own descendants, then its next sibling). None, and true, for a
    // parent that names no window (0 included: not the top-level windows).
    virtual bool EnumerateDescendants(WindowHandle parent, const WindowVisitor& visit) = 0;

    // The window's class name, as much of it as a class name can hold
    // (kLongestClassName); empty when it cannot be read. UTF-8.
    virtual std::string ClassName(WindowHandle window) = 0;
    // The window's text, as long as the window says it is: a window that
    // reports a length that cannot be used (see TextRoom) gives at most
    // kFallbackTextRoom - 1 characters. Empty when it cannot be read. UTF-8.
    virtual std::string WindowText(WindowHandle window) = 0;

    // The window's rectangle in screen pixels (its own: see FromUnawarePixels).
    // Returns false, leaving rect as it was, when it cannot be read.
    virtual bool ReadWindowRect(WindowHandle window, Rect& rect) = 0;
    // The window whose client area holds this one; 0 for a top-level window
    // and for a handle that names no window.
    virtual WindowHandle ParentOf(WindowHandle window) = 0;
    // The top-level window that holds this one (itself for a top-level
    // window); 0 for a handle that names no window.
    virtual WindowHandle RootOf(WindowHandle window) = 0;
    virtual bool IsWindow(WindowHandle window) = 0;
    // The thread that made the window; 0 for a handle that names no window.
    virtual std::uint32_t ThreadOf(WindowHandle window) = 0;
    // The window and every window it lies in are shown.
    virtual bool IsVisible(WindowHandle window) = 0;
    // The window is minimized. The windows inside a minimized one stay
    // shown (IsVisible), out of the user's sight.
    virtual bool IsMinimized(WindowHandle window) = 0;
    // Map a rectangle from screen pixels into window's client coordinates,
    // both corners at once. In a mirrored window (laid out right to left) x
    // runs from the client area's right edge leftwards, so the screen's left
    // edge of a child is its logical right: the result is the rectangle as
    // the window's children are placed, left and right in logical order.
    // Returns false, leaving rect as it was, when window names no window.
    virtual bool MapRectToClient(WindowHandle window, Rect& rect) = 0;

    // A length in the pixels a DPI-unaware program sees, in the window's own
    // pixels: those its rectangle is read, mapped and moved in. They differ
    // on a scaled display for a window that is DPI-aware (150 %: 1.5 times
    // as many); a desktop that does not scale gives the length back.
    virtual std::int32_t FromUnawarePixels(WindowHandle window, std::int32_t length) {
        static_cast<void>(window);
        return length;
    }
    // The other way: a length in the window's own pixels, in those of a
    // DPI-unaware program.
    virtual std::int32_t ToUnawarePixels(WindowHandle window, std::int32_t length) {
        static_cast<void>(window);
        return length;
    }

    // Move and resize: x and y are screen pixels for a top-level window and
    // client coordinates of its parent for a child window. Repaints. A window
    // of another thread is moved when that thread handles the request: a
    // thread that has stopped answering never blocks the caller, and the
    // move waits for it.
    virtual MoveResult MoveWindow(WindowHandle window, std::int32_t x, std::int32_t y,
                                  std::int32_t width, std::int32_t height) = 0;
    virtual bool IsWindowEnabled(WindowHandle window) = 0;
    // Asks for the window to be enabled or disabled, without waiting: the
    // change is made when the window's thread handles it (a thread that has
    // stopped answering never blocks the caller), and IsWindowEnabled shows
    // it from then on.
    virtual void RequestEnable(WindowHandle window, bool enable) = 0;
    // Asks the window's thread whether it answers, without waiting.
    virtual std::unique_ptr<AnswerProbe> ProbeAnswering(WindowHandle window) = 0;

    // How the window's program runs beside this one: elevated (as
    // administrator) where this one is not, or under another account (the
    // window manager may drop what this program asks of such a window, a
    // move included, and still report it posted). Same where it cannot be
    // told, and for a handle that names no window.
    virtual Rights RightsOf(WindowHandle window) {
        static_cast<void>(window);
        return Rights::Same;
    }
};

}  // namespace kestrum
