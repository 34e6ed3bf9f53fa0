#include "winsys/win32_window_system.h"

#include <algorithm>
#include <exception>
#include <functional>
#include <new>
#include <string>

#include "winsys/win32_text.h"

namespace kestrum::win32 {
namespace {

// What an enumeration callback needs, carried through the LPARAM. Exceptions
// must not unwind through user32's frames: the trampoline catches them, stops
// the enumeration and the caller rethrows once user32 has returned.
struct EnumContext {
    const WindowVisitor& visit;
    bool stopped = false;
    std::exception_ptr failure;
};

BOOL CALLBACK EnumTrampoline(HWND window, LPARAM param) {
    auto& context = *reinterpret_cast<EnumContext*>(param);
    try {
        if (context.visit(ToHandle(window))) return TRUE;
    } catch (...) {
        context.failure = std::current_exception();
    }
    context.stopped = true;
    return FALSE;
}

bool Enumerate(const WindowVisitor& visit, const std::function<void(LPARAM)>& run) {
    EnumContext context{visit};
    run(reinterpret_cast<LPARAM>(&context));
    if (context.failure) std::rethrow_exception(context.failure);
    return !context.stopped;
}

// The first `count` characters a text call copied into `buffer`, converted;
// the count is trusted only as far as the buffer goes.
std::string Copied(const std::string& buffer, int count) {
    if (count <= 0) return {};
    const std::size_t usable = buffer.empty() ? 0 : buffer.size() - 1;
    return AnsiToUtf8(std::string_view(buffer).substr(0, std::min<std::size_t>(count, usable)));
}

}  // namespace

WindowHandle ToHandle(HWND window) {
    return static_cast<WindowHandle>(reinterpret_cast<std::intptr_t>(window));
}

HWND ToHwnd(WindowHandle window) {
    return reinterpret_cast<HWND>(static_cast<std::intptr_t>(window));
}

bool Win32WindowSystem::EnumerateTopLevelWindows(const WindowVisitor& visit) {
    return Enumerate(visit, [](LPARAM context) { EnumWindows(EnumTrampoline, context); });
}

bool Win32WindowSystem::EnumerateDescendants(WindowHandle parent, const WindowVisitor& visit) {
    // EnumChildWindows with no parent would list the top-level windows.
    const HWND window = ToHwnd(parent);
    if (window == nullptr || !::IsWindow(window)) return true;
    return Enumerate(visit, [window](LPARAM context) {
        EnumChildWindows(window, EnumTrampoline, context);
    });
}

std::string Win32WindowSystem::ClassName(WindowHandle window) {
    const HWND hwnd = ToHwnd(window);
    if (hwnd == nullptr) return {};
    std::string buffer(kLongestClassName + 1, '\0');
    return Copied(buffer, GetClassNameA(hwnd, buffer.data(), static_cast<int>(buffer.size())));
}

std::string Win32WindowSystem::WindowText(WindowHandle window) {
    const HWND hwnd = ToHwnd(window);
    // No window at all. Wine's GetWindowTextA(NULL) does not fail: it counts
    // and copies whatever its own buffer held.
    if (hwnd == nullptr) return {};
    std::string buffer;
    try {
        buffer.assign(TextRoom(GetWindowTextLengthA(hwnd)), '\0');
    } catch (const std::bad_alloc&) {
        buffer.assign(kFallbackTextRoom, '\0');
    }
    return Copied(buffer, GetWindowTextA(hwnd, buffer.data(), static_cast<int>(buffer.size())));
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

MoveResult Win32WindowSystem::MoveWindow(WindowHandle window, std::int32_t x, std::int32_t y,
                                         std::int32_t width, std::int32_t height) {
    SetLastError(ERROR_SUCCESS);
    if (SetWindowPos(ToHwnd(window), nullptr, x, y, width, height,
                     SWP_NOZORDER | SWP_NOACTIVATE | SWP_ASYNCWINDOWPOS) != 0) {
        return MoveResult::Posted;
    }
    // A window of a program with higher rights may be read but not changed.
    return GetLastError() == ERROR_ACCESS_DENIED ? MoveResult::Refused : MoveResult::Failed;
}

bool Win32WindowSystem::IsWindowEnabled(WindowHandle window) {
    return ::IsWindowEnabled(ToHwnd(window)) != 0;
}

void Win32WindowSystem::EnableWindow(WindowHandle window, bool enable) {
    ::EnableWindow(ToHwnd(window), enable ? TRUE : FALSE);
}

Reply Win32WindowSystem::AskIfAnswering(WindowHandle window) {
    constexpr UINT kTimeoutMs = 500;
    const HWND hwnd = ToHwnd(window);
    if (hwnd == nullptr || !::IsWindow(hwnd)) return Reply::NoWindow;
    DWORD_PTR result = 0;
    if (SendMessageTimeoutW(hwnd, WM_NULL, 0, 0, SMTO_ABORTIFHUNG | SMTO_ERRORONEXIT, kTimeoutMs,
                            &result) != 0) {
        return Reply::Answered;
    }
    return ::IsWindow(hwnd) ? Reply::NoAnswer : Reply::NoWindow;
}

}  // namespace kestrum::win32
