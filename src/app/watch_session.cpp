#include "app/watch_session.h"

#include <vector>

#include "startup/start_outcome.h"
#include "watch/watcher.h"
#include "winsys/win32/win32_handles.h"
#include "winsys/win32/win32_timers.h"
#include "winsys/win32/win32_window_events.h"
#include "winsys/win32/win32_window_system.h"
#include "winsys/win32/window_class.h"

namespace kestrum::win32 {
namespace {

// "Local\": the session's own namespace, so each session on a terminal
// server has a watch of its own.
constexpr wchar_t kSessionMutex[] = L"Local\\KestrumWatch";
constexpr wchar_t kWindowClass[] = L"KestrumWatch";
constexpr DWORD kStopWithinMs = 5000;

// The hidden window that hears the end of the session, and /stop.
LRESULT CALLBACK SessionWindowProc(HWND window, UINT message, WPARAM wParam, LPARAM lParam) {
    auto* log = reinterpret_cast<RunLog*>(GetWindowLongPtrW(window, GWLP_USERDATA));
    switch (message) {
        case WM_QUERYENDSESSION:
            return TRUE;  // never holds the session up
        case WM_ENDSESSION:
            if (wParam != 0) {
                if (log != nullptr) log->Tell(WatchEnd::SessionEnded);
                PostQuitMessage(0);
            }
            return 0;
        case WM_CLOSE:
            if (log != nullptr) log->Tell(WatchEnd::Stopped);
            PostQuitMessage(0);
            return 0;
        default:
            return DefWindowProcW(window, message, wParam, lParam);
    }
}

UniqueWindow MakeSessionWindow(HINSTANCE instance, RunLog& log) {
    WNDCLASSEXW windowClass{};
    windowClass.cbSize = sizeof windowClass;
    windowClass.lpfnWndProc = SessionWindowProc;
    windowClass.hInstance = instance;
    windowClass.lpszClassName = kWindowClass;
    if (!RegisterWindowClass(windowClass)) return {};
    // Top-level and never shown.
    UniqueWindow window(CreateWindowExW(0, kWindowClass, L"Kestrum watch", WS_OVERLAPPED, 0, 0, 0, 0,
                                        nullptr, nullptr, instance, nullptr));
    if (window.Get() != nullptr) SetWindowLongPtrW(window.Get(), GWLP_USERDATA, reinterpret_cast<LONG_PTR>(&log));
    return window;
}

}  // namespace

int RunWatch(const StartPlan& plan, RunLog& log, HINSTANCE instance) noexcept {
    bool watching = false;
    try {
        for (const std::string& ignored : plan.from.ignored) log.Tell(PolicyIgnored{ignored});
        const UniqueHandle sessionMutex(CreateMutexW(nullptr, FALSE, kSessionMutex));
        if (!sessionMutex || GetLastError() == ERROR_ALREADY_EXISTS) {
            log.Write("not started: Kestrum already watches this session");
            return sessionMutex ? kExitAlreadyWatching : kExitInternalFailure;
        }
        UniqueWindow session = MakeSessionWindow(instance, log);
        Win32WindowSystem system;
        Win32Timers timers;
        const StartOptions& options = plan.options;
        Watcher watcher(system, timers, {options.NewSize, std::chrono::milliseconds(options.SettleMs), plan.from.width},
                        &log);
        Win32WindowEvents events;
        // Heard first, then looked for: no client falls between the two.
        if (session.Get() == nullptr ||
            !events.Start([&watcher](WindowEvent event, WindowHandle window) { watcher.OnWindowEvent(event, window); })) {
            log.Tell(Failure::WatchNotStarted);
            return kExitInternalFailure;
        }
        log.Tell(WatchStarted{options.NewSize, plan.from.width, options.SettleMs, plan.from.settle});
        watching = true;
        watcher.Start();

        MSG message;
        while (GetMessageW(&message, nullptr, 0, 0) > 0) {
            TranslateMessage(&message);
            DispatchMessageW(&message);
        }
        events.Stop();
        timers.RethrowFailure();
        events.RethrowFailure();
        return kExitNormal;
    } catch (...) {
        try {
            if (watching) log.Tell(Failure::WatchFailed);
        } catch (...) {
            // Memory ran out: the failure goes untold.
        }
        return kExitInternalFailure;
    }
}

int StopWatch() noexcept {
    try {
        std::vector<UniqueHandle> watches;
        for (HWND window = nullptr; (window = FindWindowExW(nullptr, window, kWindowClass, nullptr)) != nullptr;) {
            DWORD process = 0;
            GetWindowThreadProcessId(window, &process);
            if (process == GetCurrentProcessId()) continue;
            UniqueHandle handle(OpenProcess(SYNCHRONIZE, FALSE, process));
            if (PostMessageW(window, WM_CLOSE, 0, 0) && handle) watches.push_back(std::move(handle));
        }
        const DWORD start = GetTickCount();
        for (const UniqueHandle& watch : watches) {
            const DWORD spent = GetTickCount() - start;
            const DWORD left = spent < kStopWithinMs ? kStopWithinMs - spent : 0;
            if (WaitForSingleObject(watch.Get(), left) != WAIT_OBJECT_0) return kExitInternalFailure;
        }
        return kExitNormal;
    } catch (...) {
        return kExitInternalFailure;
    }
}

}  // namespace kestrum::win32
