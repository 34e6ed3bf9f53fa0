#include "app/watch_session.h"

#include <optional>
#include <string>

#include "startup/argument_text.h"
#include "startup/start_outcome.h"
#include "watch/one_watch_per_session.h"
#include "watch/watch_icon.h"
#include "watch/watcher.h"
#include "winsys/win32/win32_handles.h"
#include "winsys/win32/win32_notification_area.h"
#include "winsys/win32/win32_session_watches.h"
#include "winsys/win32/win32_text.h"
#include "winsys/win32/win32_timers.h"
#include "winsys/win32/win32_window_events.h"
#include "winsys/win32/win32_window_system.h"
#include "winsys/win32/window_class.h"

namespace kestrum::win32 {
namespace {

// The watch ends once, whatever asks it to; the loop then ends, and the icon
// goes with it (never from inside the end of the session's own notice).
void EndTheWatch(Watcher* watcher, WatchEnd why) {
    try {
        if (watcher != nullptr && !watcher->End(why)) return;
    } catch (...) {
        // Not logged (memory ran out): it ends all the same.
    }
    PostQuitMessage(0);
}

// The hidden window that hears the end of the session, Restart Manager, and
// /stop: each ends the watch once.
LRESULT CALLBACK SessionWindowProc(HWND window, UINT message, WPARAM wParam, LPARAM lParam) {
    auto* watcher = reinterpret_cast<Watcher*>(GetWindowLongPtrW(window, GWLP_USERDATA));
    const auto end = [watcher](WatchEnd why) { EndTheWatch(watcher, why); };
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

// Kestrum's window beside the watch: this program, started without options;
// nothing waits for it.
void OpenKestrum(RunLog& log) {
    std::wstring path(MAX_PATH, L'\0');
    DWORD length = 0;
    while ((length = GetModuleFileNameW(nullptr, path.data(), static_cast<DWORD>(path.size()))) == path.size() &&
           path.size() < 32768) {
        path.resize(path.size() * 2);
    }
    path.resize(length);
    std::wstring line = L"\"" + path + L"\"";
    STARTUPINFOW startup{};
    startup.cb = sizeof startup;
    PROCESS_INFORMATION started{};
    if (length == 0 ||
        !CreateProcessW(path.c_str(), line.data(), nullptr, nullptr, FALSE, 0, nullptr, nullptr, &startup, &started)) {
        log.Write("Kestrum's window could not be opened");
        return;
    }
    const UniqueHandle process(started.hProcess), thread(started.hThread);
}

}  // namespace

int RunWatch(const StartPlan& plan, RunLog& log, UserWidthStore* userWidths, HINSTANCE instance) noexcept {
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
        Watcher watcher(system, timers,
                        {options.NewSize, std::chrono::milliseconds(options.SettleMs), plan.from.width,
                         plan.remembersUserWidth ? userWidths : nullptr,
                         {plan.widthWithoutUsers, plan.widthWithoutUsersFrom}},
                        &log);
        const UniqueWindow sessionWindow = MakeSessionWindow(instance, watcher);
        Win32WindowEvents events;
        watcher.panesSetChanged = [&events](const std::vector<WindowHandle>& panes) { events.ReportPlacesIn(panes); };
        // The icon goes however the watch ends: with this, when the loop is over.
        std::optional<Win32NotificationArea> area;
        std::optional<WatchIcon> icon;
        if (plan.showsIcon) {
            area.emplace(LoadIconW(instance, MAKEINTRESOURCEW(1)));
            icon.emplace(*area, watcher, [&log] { OpenKestrum(log); },
                         [&watcher] { EndTheWatch(&watcher, WatchEnd::StoppedFromIcon); });
        }
        // Heard first, then looked for: no client falls between the two.
        if (sessionWindow.Get() == nullptr ||
            !events.Start([&watcher](WindowEvent event, WindowHandle window) { watcher.OnWindowEvent(event, window); })) {
            log.Tell(Failure::WatchNotStarted);
            return kExitInternalFailure;
        }
        log.Tell(WatchStarted{options.NewSize, plan.from.width, options.SettleMs, plan.from.settle});
        watching = true;
        RegisterForRestartAfterAnUpdate(log);
        if (icon) icon->Show();
        watcher.Start();

        MSG message;
        while (GetMessageW(&message, nullptr, 0, 0) > 0) {
            TranslateMessage(&message);
            DispatchMessageW(&message);
        }
        events.Stop();
        timers.RethrowFailure();
        events.RethrowFailure();
        if (area) area->RethrowFailure();
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
