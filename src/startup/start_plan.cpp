#include "startup/start_plan.h"

#include <string>

#include "winsys/window_system.h"

namespace kestrum {

StartPlan PlanStart(std::string_view argumentText, PolicyStore* policies, bool boxesCanBeAnswered,
                    UserWidthStore* userWidths) {
    ParsedStartOptions parsed = ParseStartOptions(argumentText);
    StartPlan plan;
    plan.argumentText = argumentText;
    if (policies != nullptr) plan.from = ApplyPolicies(parsed.options, *policies);
    plan.options = std::move(parsed.options);
    if (parsed.rejected) plan.rejected = std::move(parsed.rejectedValue);
    plan.withoutUsers = {plan.options.NewSize, plan.from.width};
    plan.showsIcon = plan.from.showTrayIcon;
    // Under a policy's width nothing is remembered, and with memory off
    // nothing is even read.
    plan.remembersUserWidth = userWidths != nullptr && plan.from.rememberUserWidth && plan.from.width == Source::Given;
    const StoredWidth kept = plan.remembersUserWidth ? userWidths->Read() : StoredWidth{};
    if (kept.width && IsPaneWidth(*kept.width)) {
        plan.options.NewSize = static_cast<std::int16_t>(*kept.width);
        plan.from.width = Source::UserWidth;
    } else if (kept.width || kept.notANumber) {
        plan.userWidthIgnored = kept;
    }
    if (!plan.options.Program.program.empty() && plan.options.Wait == 0) plan.options.Wait = kWaitForProgram;
    const StartOptions& options = plan.options;
    const bool asks = options.Pause || options.Resume || options.Forget || options.Apply;
    plan.request = options.Pause    ? WatchRequest::Pause
                   : options.Resume ? WatchRequest::Resume
                   : options.Forget ? WatchRequest::Forget
                                    : WatchRequest::ApplyNow;
    plan.quiet = !boxesCanBeAnswered || (options.AutoMode && options.Quiet) ||
                 ((options.Watch || options.Stop || asks) && !options.Help);
    plan.logs = (options.AutoMode || options.Watch || options.Stop || asks) && !options.LogFile.empty();
    plan.eventLevel = options.AutoMode || options.Watch ? plan.from.eventLevel : EventLevel::None;
    // The usage first; then, before any window is searched, a value that
    // cannot be carried (silently using another would surprise a script).
    plan.road = options.Help ? Road::Usage
                : plan.rejected ? Road::RefuseValue
                : options.Stop  ? Road::StopWatch
                : asks          ? Road::AskWatch
                : options.Watch ? Road::Watch
                                : Road::Window;
    return plan;
}

}  // namespace kestrum
