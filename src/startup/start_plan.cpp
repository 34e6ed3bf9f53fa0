#include "startup/start_plan.h"

namespace kestrum {

StartPlan PlanStart(std::string_view argumentText, PolicyStore* policies, bool boxesCanBeAnswered,
                    UserWidthStore* userWidths) {
    ParsedStartOptions parsed = ParseStartOptions(argumentText);
    StartPlan plan;
    if (policies != nullptr) plan.from = ApplyPolicies(parsed.options, *policies);
    plan.options = std::move(parsed.options);
    if (parsed.rejected) plan.rejected = std::move(parsed.rejectedValue);
    plan.widthWithoutUsers = plan.options.NewSize;
    plan.widthWithoutUsersFrom = plan.from.width;
    plan.showsIcon = plan.from.showTrayIcon;
    // Under a policy's width nothing is remembered, and with memory off
    // nothing is even read.
    plan.remembersUserWidth = userWidths != nullptr && plan.from.rememberUserWidth && plan.from.width == Source::Given;
    if (const auto kept = plan.remembersUserWidth ? userWidths->Read() : std::nullopt; kept) {
        if (*kept >= 1 && *kept <= 32767) {
            plan.options.NewSize = static_cast<std::int16_t>(*kept);
            plan.from.width = Source::UserWidth;
        } else {
            plan.from.ignored.push_back("your own width " + std::to_string(*kept) +
                                        " is ignored: it must lie between 1 and 32767");
        }
    }
    const StartOptions& options = plan.options;
    plan.quiet = !boxesCanBeAnswered || (options.AutoMode && options.Quiet) ||
                 ((options.Watch || options.Stop) && !options.Help);
    plan.logs = (options.AutoMode || options.Watch || options.Stop) && !options.LogFile.empty();
    plan.eventLevel = options.AutoMode || options.Watch ? plan.from.eventLevel : EventLevel::None;
    // The usage first; then, before any window is searched, a value that
    // cannot be carried (silently using another would surprise a script).
    plan.road = options.Help ? Road::Usage
                : plan.rejected ? Road::RefuseValue
                : options.Stop  ? Road::StopWatch
                : options.Watch ? Road::Watch
                                : Road::Window;
    return plan;
}

}  // namespace kestrum
