#include "app/watch_run.h"

#include <optional>

#include "startup/start_outcome.h"
#include "watch/one_watch_per_session.h"
#include "watch/watch_session.h"
#include "winsys/win32/win32_notification_area.h"
#include "winsys/win32/win32_session_watches.h"
#include "winsys/win32/win32_timers.h"
#include "winsys/win32/win32_watch_host.h"
#include "winsys/win32/win32_window_events.h"
#include "winsys/win32/win32_window_system.h"

namespace kestrum::win32 {

int RunWatch(const StartPlan& plan, RunLog& log, UserWidthStore& userWidths, HINSTANCE instance) noexcept {
    try {
        Win32SessionWatches session;
        Win32WindowSystem system;
        Win32Timers timers;
        Win32WindowEvents events;
        Win32WatchHost host;
        // The icon goes however the watch ends: with this, once the loop is over.
        std::optional<Win32NotificationArea> area;
        if (plan.showsIcon) area.emplace(LoadIconW(instance, MAKEINTRESOURCEW(1)));
        WatchSession watch(plan, WatchPorts{system, timers, events, session, host, area ? &*area : nullptr, &userWidths},
                           log);
        try {
            if (const std::optional<int> status = watch.Start()) return *status;
            host.Run();
            timers.RethrowFailure();
            events.RethrowFailure();
            if (area) area->RethrowFailure();
            return kExitNormal;
        } catch (...) {
            watch.Failed();
            return kExitInternalFailure;
        }
    } catch (...) {
        return kExitInternalFailure;
    }
}

namespace {

// What `asking` the session's watch came to: its status, and why, logged.
template <typename Asking>
int AskSession(RunLog& log, Asking asking) noexcept {
    try {
        Win32SessionWatches session;
        const auto end = asking(session);
        if (end.why) log.Tell(*end.why);
        return end.status;
    } catch (...) {
        return kExitInternalFailure;
    }
}

}  // namespace

int StopWatch(RunLog& log) noexcept { return AskSession(log, StopTheWatch); }

int AskWatch(WatchRequest request, RunLog& log) noexcept {
    return AskSession(log, [request](SessionWatches& session) { return AskTheWatch(session, request); });
}

}  // namespace kestrum::win32
