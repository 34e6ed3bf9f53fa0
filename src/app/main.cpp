// The program's entry: the start-up plan, decided once, and the road it
// names, on the Windows layer.
#include <windows.h>

#include <optional>
#include <string>

#include "app/run.h"
#include "app/watch_run.h"
#include "startup/argument_text.h"
#include "startup/policy_names.h"
#include "startup/start_plan.h"
#include "ui/start_up.h"
#include "winsys/win32/win32_event_log.h"
#include "winsys/win32/win32_log_file.h"
#include "winsys/win32/win32_policy_store.h"
#include "winsys/win32/win32_session_watches.h"
#include "winsys/win32/win32_text.h"
#include "winsys/win32/win32_timers.h"
#include "winsys/win32/win32_user_width_store.h"
#include "winsys/win32/win32_window_system.h"

int WINAPI wWinMain(HINSTANCE instance, HINSTANCE /*previous*/, PWSTR /*commandLine*/,
                    int /*show*/) {
    using namespace kestrum;
    try {
        win32::Win32MessageBoxes boxes;
        win32::Win32PolicyStore policies(kPolicyKey);
        // The user's own width: the user's registry, which roams with the profile.
        win32::Win32UserWidthStore userWidths("Software\\Kestrum", "UserWidth");
        const StartPlan plan = PlanStart(ArgumentText(win32::WideToUtf8(GetCommandLineW())), &policies,
                                         boxes.CanBeAnswered(), &userWidths);
        std::optional<win32::Win32LogFile> logFile;
        if (plan.logs) logFile.emplace(plan.options.LogFile);
        RunLog log(logFile ? &*logFile : nullptr);
        std::optional<win32::Win32EventLog> eventLog;
        if (plan.eventLevel != EventLevel::None) eventLog.emplace("Kestrum");
        log.SendEventsTo(eventLog ? &*eventLog : nullptr, plan.eventLevel);
        for (const std::string& ignored : plan.from.ignored) log.Tell(PolicyIgnored{ignored});
        if (plan.userWidthIgnored) log.Tell(UserWidthIgnored{*plan.userWidthIgnored});
        switch (plan.road) {
            case Road::Usage: return ExitStatusFor(TellUsage(plan, boxes));
            case Road::RefuseValue: return ExitStatusFor(RefuseValue(plan, boxes, log));
            case Road::StopWatch: return win32::StopWatch(log);
            case Road::AskWatch: return win32::AskWatch(plan.request, log);
            case Road::Watch: return win32::RunWatch(plan, log, userWidths, instance);
            case Road::Window: {
                if (const std::optional<int> notStarted = win32::StartProgram(plan, log)) return *notStarted;
                win32::Win32WindowSystem system;
                win32::Win32Timers timers;
                win32::Win32SessionWatches watch;
                Form1 form(system, boxes, timers, plan, log, &watch);
                const int status = win32::Run(form, boxes, timers, instance);
                if (status == kExitInternalFailure) log.Tell(Failure::RunFailed);
                return status;
            }
        }
        return kExitInternalFailure;
    } catch (...) {
        return kExitInternalFailure;
    }
}
