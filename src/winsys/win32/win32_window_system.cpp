#include "winsys/win32/win32_window_system.h"

#include <algorithm>
#include <exception>
#include <functional>
#include <map>
#include <memory>
#include <new>
#include <string>
#include <vector>

#include "winsys/pixels.h"
#include "winsys/win32/win32_handles.h"
#include "winsys/win32/win32_text.h"

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

// The per-thread DPI awareness calls of Windows 10 (1607) and later, looked
// up at run time: without them (Windows 7 and 8) nothing is switched or
// scaled, as before.
struct DpiCalls {
    DPI_AWARENESS_CONTEXT(WINAPI* windowContext)(HWND) = nullptr;
    DPI_AWARENESS_CONTEXT(WINAPI* setThreadContext)(DPI_AWARENESS_CONTEXT) = nullptr;
    UINT(WINAPI* dpiForWindow)(HWND) = nullptr;
};

template <typename Function>
void Lookup(HMODULE module, const char* name, Function& function) {
    function = reinterpret_cast<Function>(reinterpret_cast<void (*)()>(GetProcAddress(module, name)));
}

const DpiCalls& Dpi() {
    static const DpiCalls calls = [] {
        DpiCalls found;
        const HMODULE user32 = GetModuleHandleW(L"user32.dll");
        if (user32 == nullptr) return found;
        Lookup(user32, "GetWindowDpiAwarenessContext", found.windowContext);
        Lookup(user32, "SetThreadDpiAwarenessContext", found.setThreadContext);
        Lookup(user32, "GetDpiForWindow", found.dpiForWindow);
        if (!found.windowContext || !found.setThreadContext || !found.dpiForWindow) return DpiCalls{};
        return found;
    }();
    return calls;
}

// This thread in the window's DPI awareness for the scope, then back in its
// own. Kestrum is DPI-unaware: on a scaled display the window manager would
// convert a DPI-aware window's rectangle to 96 dpi and back, and the
// rounding on the way moves the pane by a pixel (its place and height). In
// the window's own awareness its pixels come back as they are.
class WindowDpiScope {
public:
    explicit WindowDpiScope(HWND window) {
        const DpiCalls& dpi = Dpi();
        if (dpi.windowContext == nullptr || window == nullptr) return;
        if (const DPI_AWARENESS_CONTEXT own = dpi.windowContext(window); own != nullptr) {
            previous_ = dpi.setThreadContext(own);
        }
    }
    ~WindowDpiScope() {
        if (previous_ != nullptr) Dpi().setThreadContext(previous_);
    }
    WindowDpiScope(const WindowDpiScope&) = delete;
    WindowDpiScope& operator=(const WindowDpiScope&) = delete;

private:
    DPI_AWARENESS_CONTEXT previous_ = nullptr;
};

// The first `count` UTF-16 units a text call copied into `buffer`, converted;
// the count is trusted only as far as the buffer goes. A copy that filled
// the buffer may have been cut inside a surrogate pair: its lone first half
// is dropped rather than turned into a replacement character.
std::string TextCopiedInto(const std::wstring& buffer, int count) {
    if (count <= 0) return {};
    const std::size_t usable = buffer.empty() ? 0 : buffer.size() - 1;
    std::size_t length = std::min<std::size_t>(static_cast<std::size_t>(count), usable);
    if (length == usable && length > 0 && IS_HIGH_SURROGATE(buffer[length - 1])) --length;
    return WideToUtf8(std::wstring_view(buffer).substr(0, length));
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
    std::wstring buffer(kLongestClassName + 1, L'\0');
    return TextCopiedInto(buffer, GetClassNameW(hwnd, buffer.data(), static_cast<int>(buffer.size())));
}

std::string Win32WindowSystem::WindowText(WindowHandle window) { return TextOf(ToHwnd(window)); }

std::string TextOf(HWND hwnd) {
    // No window at all. Wine's GetWindowText(NULL) does not fail: it counts
    // and copies whatever its own buffer held.
    if (hwnd == nullptr) return {};
    std::wstring buffer;
    try {
        buffer.assign(TextRoom(GetWindowTextLengthW(hwnd)), L'\0');
    } catch (const std::bad_alloc&) {
        buffer.assign(kFallbackTextRoom, L'\0');
    }
    return TextCopiedInto(buffer, GetWindowTextW(hwnd, buffer.data(), static_cast<int>(buffer.size())));
}

bool Win32WindowSystem::ReadWindowRect(WindowHandle window, Rect& rect) {
    RECT r;
    const WindowDpiScope own(ToHwnd(window));
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
    const WindowDpiScope own(hwnd);
    SetLastError(ERROR_SUCCESS);
    if (MapWindowPoints(nullptr, hwnd, reinterpret_cast<POINT*>(&r), 2) == 0 &&
        GetLastError() != ERROR_SUCCESS) {
        return false;
    }
    rect = {r.left, r.top, r.right, r.bottom};
    return true;
}

namespace {

// length * numerator / denominator, rounded to the nearest, halves away from
// zero, as MulDiv does, in 64 bits and kept within range.
std::int32_t Scaled(std::int32_t length, std::int64_t numerator, std::int64_t denominator) {
    const std::int64_t twice = std::int64_t{length} * numerator * 2;
    return ClampToInt32((twice + (twice < 0 ? -denominator : denominator)) / (2 * denominator));
}

// The window's resolution where it has one of its own; 0 where it has none.
UINT OwnDpi(WindowHandle window) {
    const HWND hwnd = ToHwnd(window);
    const DpiCalls& dpi = Dpi();
    return dpi.dpiForWindow && hwnd != nullptr ? dpi.dpiForWindow(hwnd) : 0;
}

}  // namespace

// A DPI-unaware Kestrum's width reached an aware window scaled by the window
// manager from 96 dpi to the window's (375 pixels for 250 at 144 dpi, 272
// for 181); the same scaling here keeps that width, now set in the window's
// own pixels. An unaware window's pixels are those at 96 dpi: unchanged.
std::int32_t Win32WindowSystem::FromUnawarePixels(WindowHandle window, std::int32_t length) {
    const UINT windowDpi = OwnDpi(window);
    if (windowDpi == 0 || windowDpi == USER_DEFAULT_SCREEN_DPI) return length;
    return Scaled(length, windowDpi, USER_DEFAULT_SCREEN_DPI);
}

// 272 pixels at 144 dpi are 181 at 96.
std::int32_t Win32WindowSystem::ToUnawarePixels(WindowHandle window, std::int32_t length) {
    const UINT windowDpi = OwnDpi(window);
    if (windowDpi == 0 || windowDpi == USER_DEFAULT_SCREEN_DPI) return length;
    return Scaled(length, USER_DEFAULT_SCREEN_DPI, windowDpi);
}

MoveResult Win32WindowSystem::MoveWindow(WindowHandle window, std::int32_t x, std::int32_t y,
                                         std::int32_t width, std::int32_t height) {
    const WindowDpiScope own(ToHwnd(window));
    SetLastError(ERROR_SUCCESS);
    if (SetWindowPos(ToHwnd(window), nullptr, x, y, width, height,
                     SWP_NOZORDER | SWP_NOACTIVATE | SWP_ASYNCWINDOWPOS) != 0) {
        return MoveResult::Posted;
    }
    // A window of a program with higher rights may be read but not changed.
    return GetLastError() == ERROR_ACCESS_DENIED ? MoveResult::Refused : MoveResult::Failed;
}

WindowHandle Win32WindowSystem::RootOf(WindowHandle window) {
    const HWND hwnd = ToHwnd(window);
    if (hwnd == nullptr || !::IsWindow(hwnd)) return 0;
    return ToHandle(GetAncestor(hwnd, GA_ROOT));
}

std::uint32_t Win32WindowSystem::ThreadOf(WindowHandle window) {
    const HWND hwnd = ToHwnd(window);
    return hwnd == nullptr ? 0 : GetWindowThreadProcessId(hwnd, nullptr);
}

bool Win32WindowSystem::IsWindow(WindowHandle window) {
    const HWND hwnd = ToHwnd(window);
    return hwnd != nullptr && ::IsWindow(hwnd) != 0;
}

bool Win32WindowSystem::IsVisible(WindowHandle window) {
    const HWND hwnd = ToHwnd(window);
    return hwnd != nullptr && IsWindowVisible(hwnd) != 0;
}

bool Win32WindowSystem::IsMinimized(WindowHandle window) {
    const HWND hwnd = ToHwnd(window);
    return hwnd != nullptr && IsIconic(hwnd) != 0;
}

bool Win32WindowSystem::IsWindowEnabled(WindowHandle window) {
    return ::IsWindowEnabled(ToHwnd(window)) != 0;
}

namespace {

struct EnableRequest {
    HWND window;
    BOOL enable;
};

DWORD WINAPI EnableOnAThreadOfItsOwn(LPVOID param) {
    const std::unique_ptr<EnableRequest> request(static_cast<EnableRequest*>(param));
    ::EnableWindow(request->window, request->enable);
    return 0;
}

}  // namespace

void Win32WindowSystem::RequestEnable(WindowHandle window, bool enable) {
    auto request = std::make_unique<EnableRequest>(EnableRequest{ToHwnd(window), enable ? TRUE : FALSE});
    // Not made: then nothing changes, and the caller sees it unchanged.
    if (const HANDLE thread = CreateThread(nullptr, 0, EnableOnAThreadOfItsOwn, request.get(), 0, nullptr)) {
        request.release();
        CloseHandle(thread);
    }
}

namespace {

// The answers come to a callback that has only a number to go by: the
// probes not yet dropped, by that number. The callback runs on the thread
// that asked, from its message loop, so no lock is needed.
std::map<ULONG_PTR, bool>& Answers() {
    static std::map<ULONG_PTR, bool> answers;
    return answers;
}

void CALLBACK Answered(HWND, UINT, ULONG_PTR probe, LRESULT) {
    if (auto found = Answers().find(probe); found != Answers().end()) found->second = true;
}

class Win32AnswerProbe final : public AnswerProbe {
public:
    explicit Win32AnswerProbe(HWND window) : window_(window) {
        static ULONG_PTR lastId = 0;
        id_ = ++lastId;
        Answers()[id_] = false;
        if (window == nullptr || !::IsWindow(window)) return;
        SetLastError(ERROR_SUCCESS);
        if (SendMessageCallbackW(window, WM_NULL, 0, 0, Answered, id_) == 0 &&
            GetLastError() == ERROR_ACCESS_DENIED) {
            // A program with higher rights takes no messages from this one:
            // it is not known to hang.
            Answers()[id_] = true;
        }
    }
    ~Win32AnswerProbe() override { Answers().erase(id_); }
    Win32AnswerProbe(const Win32AnswerProbe&) = delete;
    Win32AnswerProbe& operator=(const Win32AnswerProbe&) = delete;

    Reply Heard() override {
        if (window_ == nullptr || !::IsWindow(window_)) return Reply::NoWindow;
        return Answers()[id_] ? Reply::Answered : Reply::NoAnswer;
    }

private:
    HWND window_;
    ULONG_PTR id_ = 0;
};

}  // namespace

std::unique_ptr<AnswerProbe> Win32WindowSystem::ProbeAnswering(WindowHandle window) {
    return std::make_unique<Win32AnswerProbe>(ToHwnd(window));
}

namespace {

// The user a token is of, as its SID's bytes; empty where it cannot be read.
std::vector<BYTE> UserOf(HANDLE token) {
    DWORD size = 0;
    GetTokenInformation(token, TokenUser, nullptr, 0, &size);
    std::vector<BYTE> user(size);
    if (size == 0 || !GetTokenInformation(token, TokenUser, user.data(), size, &size)) return {};
    const PSID sid = reinterpret_cast<TOKEN_USER*>(user.data())->User.Sid;
    return {static_cast<BYTE*>(sid), static_cast<BYTE*>(sid) + GetLengthSid(sid)};
}

struct TokenFacts {
    bool readable = false;
    bool elevated = false;
    std::vector<BYTE> user;
};

TokenFacts FactsOf(HANDLE process) {
    HANDLE opened = nullptr;
    if (!OpenProcessToken(process, TOKEN_QUERY, &opened)) return {};
    const UniqueHandle token(opened);
    TOKEN_ELEVATION elevation{};
    DWORD size = 0;
    const bool elevated = GetTokenInformation(token.Get(), TokenElevation, &elevation, sizeof elevation, &size) &&
                          elevation.TokenIsElevated != 0;
    return {true, elevated, UserOf(token.Get())};
}

}  // namespace

Rights Win32WindowSystem::RightsOf(WindowHandle window) {
    static const TokenFacts self = FactsOf(GetCurrentProcess());
    DWORD pid = 0;
    const HWND hwnd = ToHwnd(window);
    if (hwnd == nullptr || GetWindowThreadProcessId(hwnd, &pid) == 0 || pid == GetCurrentProcessId()) {
        return Rights::Same;
    }
    const UniqueHandle process(OpenProcess(PROCESS_QUERY_LIMITED_INFORMATION, FALSE, pid));
    if (!process) return GetLastError() == ERROR_ACCESS_DENIED ? Rights::OtherAccount : Rights::Same;
    const TokenFacts client = FactsOf(process.Get());
    if (!client.readable) return self.elevated ? Rights::Same : Rights::Elevated;
    if (!client.user.empty() && !self.user.empty() && client.user != self.user) return Rights::OtherAccount;
    return client.elevated && !self.elevated ? Rights::Elevated : Rights::Same;
}

}  // namespace kestrum::win32
