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
#include <span>
#include <string_view>

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

struct Point {
    std::int32_t x = 0;
    std::int32_t y = 0;
    friend bool operator==(const Point&, const Point&) = default;
};

// Called once per window reported by an enumeration, with the enumeration's
// value; a zero result stops the enumeration.
using EnumProc = std::function<std::int32_t(WindowHandle, std::int32_t)>;

class WindowSystem {
public:
    virtual ~WindowSystem() = default;

    // Every top-level window, front to back in z-order. Returns false when the
    // callback stopped the enumeration.
    virtual bool EnumerateTopLevelWindows(const EnumProc& proc, std::int32_t value) = 0;
    // Every descendant of parent at any depth, depth-first (a window, then
    // its own descendants, then its next sibling). None, and true, for a
    // parent that names no window (0 included: not the top-level windows).
    virtual bool EnumerateDescendants(WindowHandle parent, const EnumProc& proc,
                                      std::int32_t value) = 0;

    // A count at least as large as the window's text, in the characters that
    // ReadWindowText delivers; 0 when it cannot be read.
    virtual std::int32_t WindowTextLength(WindowHandle window) = 0;
    // Copy the window's text (or class name) into buffer, cut to fit with a
    // terminating NUL; returns the count copied, without the terminator, and 0
    // when the window cannot be read. Text is UTF-8, converted from the
    // system code page where the window manager speaks it.
    virtual std::int32_t ReadWindowText(WindowHandle window, std::span<char> buffer) = 0;
    virtual std::int32_t ReadClassName(WindowHandle window, std::span<char> buffer) = 0;

    // The window's rectangle in screen pixels. Returns false, leaving rect as
    // it was, when it cannot be read.
    virtual bool ReadWindowRect(WindowHandle window, Rect& rect) = 0;
    // The window whose client area holds this one; 0 for a top-level window
    // and for a handle that names no window.
    virtual WindowHandle ParentOf(WindowHandle window) = 0;
    // Map a rectangle from screen pixels into window's client coordinates,
    // both corners at once. In a mirrored window (laid out right to left) x
    // runs from the client area's right edge leftwards, so the screen's left
    // edge of a child is its logical right: the result is the rectangle as
    // the window's children are placed, left and right in logical order.
    // Returns false, leaving rect as it was, when window names no window.
    virtual bool MapRectToClient(WindowHandle window, Rect& rect) = 0;

    // Move and resize: x and y are screen pixels for a top-level window and
    // client coordinates of its parent for a child window. Repaints.
    virtual bool MoveWindow(WindowHandle window, std::int32_t x, std::int32_t y,
                            std::int32_t width, std::int32_t height) = 0;
    virtual bool IsWindowEnabled(WindowHandle window) = 0;
    virtual void EnableWindow(WindowHandle window, bool enable) = 0;
};

}  // namespace kestrum
