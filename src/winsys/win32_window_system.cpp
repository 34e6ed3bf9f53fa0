#include "winsys/win32_window_system.h"

#include <climits>
#include <cstdint>
#include <exception>
#include <string>

#include "winsys/win32_text.h"

namespace kestrum::win32 {
namespace {

// GetClassName never delivers more than this.
constexpr int kClassNameLength = 256;

// What an enumeration callback needs, carried through the LPARAM. Exceptions
// must not unwind through user32's frames: the trampoline catches them, stops
// the enumeration and the caller rethrows once user32 has returned.
struct EnumContext {
    const EnumProc& proc;
    std::int32_t value;
    bool stopped = false;
    std::exception_ptr failure;
};

BOOL CALLBACK EnumTrampoline(HWND window, LPARAM param) {
    auto& context = *reinterpret_cast<EnumContext*>(param);
    try {
        if (context.proc(ToHandle(window), context.value) != 0) return TRUE;
    } catch (...) {
        context.failure = std::current_exception();
    }
    context.stopped = true;
    return FALSE;
}

bool Finish(const EnumContext& context) {
    if (context.failure) std::rethrow_exception(context.failure);
    return !context.stopped;
}

// The ANSI bytes worth reading for a UTF-8 buffer: its room without the NUL,
// kept well inside what an int count can carry.
int AnsiRoom(std::span<char> buffer) {
    constexpr std::size_t kLargest = INT_MAX / 2;
    if (buffer.empty()) return 0;
    return static_cast<int>(buffer.size() - 1 > kLargest ? kLargest : buffer.size() - 1);
}

// Reads ANSI text with `read` into a buffer of `ansiLength` bytes, converts it
// and copies it into the caller's UTF-8 buffer. A UTF-8 text is never shorter
// than its ANSI form, so reading as many ANSI bytes as the caller has room for
// is enough to fill it.
template <typename Read>
std::int32_t ReadConverted(HWND window, std::span<char> buffer, int ansiLength, Read read) {
    if (buffer.empty()) return 0;
    // No window at all. Wine's GetWindowTextA(NULL) does not fail: it counts
    // and copies whatever its own buffer held.
    if (window == nullptr) {
        buffer[0] = '\0';
        return 0;
    }
    std::string ansi(static_cast<std::size_t>(ansiLength) + 1, '\0');
    const int count = read(ansi.data(), ansiLength + 1);
    if (count <= 0) {
        buffer[0] = '\0';
        return 0;
    }
    ansi.resize(static_cast<std::size_t>(count < ansiLength ? count : ansiLength));
    return static_cast<std::int32_t>(CopyUtf8(AnsiToUtf8(ansi), buffer));
}

}  // namespace

WindowHandle ToHandle(HWND window) {
    return static_cast<WindowHandle>(reinterpret_cast<std::intptr_t>(window));
}

HWND ToHwnd(WindowHandle window) {
    return reinterpret_cast<HWND>(static_cast<std::intptr_t>(window));
}

bool Win32WindowSystem::EnumerateTopLevelWindows(const EnumProc& proc, std::int32_t value) {
    EnumContext context{proc, value};
    EnumWindows(EnumTrampoline, reinterpret_cast<LPARAM>(&context));
    return Finish(context);
}

bool Win32WindowSystem::EnumerateDescendants(WindowHandle parent, const EnumProc& proc,
                                             std::int32_t value) {
    // EnumChildWindows with no parent would list the top-level windows.
    const HWND window = ToHwnd(parent);
    if (window == nullptr || !::IsWindow(window)) return true;
    EnumContext context{proc, value};
    EnumChildWindows(window, EnumTrampoline, reinterpret_cast<LPARAM>(&context));
    return Finish(context);
}

std::int32_t Win32WindowSystem::WindowTextLength(WindowHandle window) {
    const int length = GetWindowTextLengthA(ToHwnd(window));
    if (length <= 0) return 0;
    return length > INT32_MAX / 3 ? INT32_MAX : length * 3;
}

std::int32_t Win32WindowSystem::ReadWindowText(WindowHandle window, std::span<char> buffer) {
    const HWND hwnd = ToHwnd(window);
    return ReadConverted(hwnd, buffer, AnsiRoom(buffer),
                         [hwnd](char* ansi, int length) { return GetWindowTextA(hwnd, ansi, length); });
}

std::int32_t Win32WindowSystem::ReadClassName(WindowHandle window, std::span<char> buffer) {
    const HWND hwnd = ToHwnd(window);
    return ReadConverted(hwnd, buffer, kClassNameLength,
                         [hwnd](char* ansi, int length) { return GetClassNameA(hwnd, ansi, length); });
}

bool Win32WindowSystem::ReadWindowRect(WindowHandle window, Rect& rect) {
    RECT r;
    if (!GetWindowRect(ToHwnd(window), &r)) return false;
    rect = {r.left, r.top, r.right, r.bottom};
    return true;
}

WindowHandle Win32WindowSystem::ParentOf(WindowHandle window) {
    const HWND hwnd = ToHwnd(window);
    if (hwnd == nullptr || !::IsWindow(hwnd)) return 0;
    const HWND parent = GetAncestor(hwnd, GA_PARENT);
    if (parent == nullptr || parent == GetDesktopWindow()) return 0;
    return ToHandle(parent);
}

bool Win32WindowSystem::MapRectToClient(WindowHandle window, Rect& rect) {
    const HWND hwnd = ToHwnd(window);
    if (hwnd == nullptr || !::IsWindow(hwnd)) return false;
    // Two points are a rectangle to MapWindowPoints: in a mirrored window it
    // swaps left and right back into logical order, which ScreenToClient of
    // one corner cannot do.
    RECT r{rect.left, rect.top, rect.right, rect.bottom};
    SetLastError(ERROR_SUCCESS);
    if (MapWindowPoints(nullptr, hwnd, reinterpret_cast<POINT*>(&r), 2) == 0 &&
        GetLastError() != ERROR_SUCCESS) {
        return false;
    }
    rect = {r.left, r.top, r.right, r.bottom};
    return true;
}

bool Win32WindowSystem::MoveWindow(WindowHandle window, std::int32_t x, std::int32_t y,
                                   std::int32_t width, std::int32_t height) {
    return SetWindowPos(ToHwnd(window), nullptr, x, y, width, height,
                        SWP_NOZORDER | SWP_NOACTIVATE | SWP_ASYNCWINDOWPOS) != 0;
}

bool Win32WindowSystem::IsWindowEnabled(WindowHandle window) {
    return ::IsWindowEnabled(ToHwnd(window)) != 0;
}

void Win32WindowSystem::EnableWindow(WindowHandle window, bool enable) {
    ::EnableWindow(ToHwnd(window), enable ? TRUE : FALSE);
}

}  // namespace kestrum::win32
