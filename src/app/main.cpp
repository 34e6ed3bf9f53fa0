// The program's entry: the road its command line asks for (the watch, its
// stop, or the window and the unattended start), on the Windows layer.
#include <windows.h>

#include <optional>
#include <string>

#include "app/run.h"
#include "app/watch_session.h"
#include "startup/argument_text.h"
#include "startup/policies.h"
#include "startup/policy_names.h"
#include "startup/start_decision.h"
#include "winsys/win32/win32_log_file.h"
#include "winsys/win32/win32_policy_store.h"
#include "winsys/win32/win32_text.h"
#include "winsys/win32/win32_timers.h"
#include "winsys/win32/win32_window_system.h"

int WINAPI wWinMain(HINSTANCE instance, HINSTANCE /*previous*/, PWSTR /*commandLine*/,
                    int /*show*/) {
    using namespace kestrum;
    try {
        const std::string commandLine = win32::WideToUtf8(GetCommandLineW());
        const std::string_view argumentText = ArgumentText(commandLine);
        ParsedStartOptions parsed = ParseStartOptions(argumentText);
        // An administrator's policies win over the command line (Form1 reads
        // them again for its own road).
        win32::Win32PolicyStore policies(kPolicyKey);
        const PoliciesApplied applied = ApplyPolicies(parsed.options, policies);
        std::optional<win32::Win32LogFile> logFile;
        if (!parsed.options.LogFile.empty()) logFile.emplace(parsed.options.LogFile);
        LogFile* const log = logFile ? &*logFile : nullptr;
        switch (DecideStart(parsed, nullptr, true, true)) {
            case StartStep::Watch: {
                RunLog watchLog(log);
                for (const std::string& ignored : applied.ignored) watchLog.Write(ignored);
                return win32::RunWatch(parsed.options, applied, watchLog, instance);
            }
            case StartStep::StopWatch: {
                RunLog stopLog(log);
                return win32::StopWatch(stopLog);
            }
            default: break;
        }
        win32::Win32WindowSystem system;
        win32::Win32MessageBoxes boxes;
        win32::Win32Timers timers;
        Form1 form(system, boxes, timers, log, &policies);
        return win32::Run(form, boxes, timers, instance, argumentText);
    } catch (...) {
        return kExitInternalFailure;
    }
}
