#include "app/watch_session.h"

#include "startup/argument_text.h"
#include "startup/start_outcome.h"
#include "watch/one_watch_per_session.h"
#include "watch/watcher.h"
#include "winsys/win32/win32_handles.h"
#include "winsys/win32/win32_session_watches.h"
#include "winsys/win32/win32_text.h"
#include "winsys/win32/win32_timers.h"
#include "winsys/win32/win32_window_events.h"
#include "winsys/win32/win32_window_system.h"
#include "winsys/win32/window_class.h"

namespace kestrum::win32 {
namespace {

// The hidden window that hears the end of the session, Restart Manager, and
// /stop: each ends the watch once.
LRESULT CALLBACK SessionWindowProc(HWND window, UINT message, WPARAM wParam, LPARAM lParam) {
    auto* watcher = reinterpret_cast<Watcher*>(GetWindowLongPtrW(window, GWLP_USERDATA));
    const auto end = [watcher](WatchEnd why) {
        try {
            if (watcher != nullptr && !watcher->End(why)) return;
        } catch (...) {
            // Not logged (memory ran out): it ends all the same.
        }
        PostQuitMessage(0);
    };
    switch (message) {
        case WM_QUERYENDSESSION:
            return TRUE;  // never holds the session up, nor an update
        case WM_ENDSESSION:
            if (wParam != 0) end(EndOfSession(static_cast<std::uint32_t>(lParam)));
            return 0;
        case WM_CLOSE:
            end(WatchEnd::Stopped);
            return 0;
        default:
            return DefWindowProcW(window, message, wParam, lParam);
    }
}

UniqueWindow MakeSessionWindow(HINSTANCE instance, Watcher& watcher) {
    WNDCLASSEXW windowClass{};
    windowClass.cbSize = sizeof windowClass;
    windowClass.lpfnWndProc = SessionWindowProc;
    windowClass.hInstance = instance;
    windowClass.lpszClassName = kWatchWindowClass;
    if (!RegisterWindowClass(windowClass)) return {};
    // Top-level and never shown.
    UniqueWindow window(CreateWindowExW(0, kWatchWindowClass, L"Kestrum watch", WS_OVERLAPPED, 0, 0, 0, 0,
                                        nullptr, nullptr, instance, nullptr));
    if (window.Get() != nullptr) SetWindowLongPtrW(window.Get(), GWLP_USERDATA, reinterpret_cast<LONG_PTR>(&watcher));
    return window;
}

// Restart Manager starts the watch again, with the same arguments, once an
// installer that had it closed has replaced its files; not after a crash, a
// hang or a restart of the system (the logon starts it then).
void RegisterForRestartAfterAnUpdate(RunLog& log) {
    const std::wstring arguments = Utf8ToWide(ArgumentText(WideToUtf8(GetCommandLineW())));
    if (FAILED(RegisterApplicationRestart(arguments.c_str(), RESTART_NO_CRASH | RESTART_NO_HANG | RESTART_NO_REBOOT))) {
        log.Write("not registered to be started again after an update (its command line is too long)");
    }
}

}  // namespace

int RunWatch(const StartPlan& plan, RunLog& log, HINSTANCE instance) noexcept {
    bool watching = false;
    try {
        for (const std::string& ignored : plan.from.ignored) log.Tell(PolicyIgnored{ignored});
        Win32SessionWatches session;
        if (const std::optional<WatchRunEnd> notWatching = BecomeTheWatch(session)) {
            log.Write(notWatching->why);
            return notWatching->status;
        }
        Win32WindowSystem system;
        Win32Timers timers;
        const StartOptions& options = plan.options;
        Watcher watcher(system, timers, {options.NewSize, std::chrono::milliseconds(options.SettleMs), plan.from.width},
                        &log);
        const UniqueWindow sessionWindow = MakeSessionWindow(instance, watcher);
        Win32WindowEvents events;
        // Heard first, then looked for: no client falls between the two.
        if (sessionWindow.Get() == nullptr ||
            !events.Start([&watcher](WindowEvent event, WindowHandle window) { watcher.OnWindowEvent(event, window); })) {
            log.Tell(Failure::WatchNotStarted);
            return kExitInternalFailure;
        }
        log.Tell(WatchStarted{options.NewSize, plan.from.width, options.SettleMs, plan.from.settle});
        watching = true;
        RegisterForRestartAfterAnUpdate(log);
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

int StopWatch(RunLog& log) noexcept {
    try {
        Win32SessionWatches session;
        const WatchRunEnd end = StopTheWatch(session);
        if (!end.why.empty()) log.Write(end.why);
        return end.status;
    } catch (...) {
        return kExitInternalFailure;
    }
}

}  // namespace kestrum::win32
