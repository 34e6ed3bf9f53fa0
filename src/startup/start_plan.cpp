#include "startup/start_plan.h"

namespace kestrum {

StartPlan PlanStart(std::string_view argumentText, PolicyStore* policies, bool boxesCanBeAnswered) {
    ParsedStartOptions parsed = ParseStartOptions(argumentText);
    StartPlan plan;
    if (policies != nullptr) plan.from = ApplyPolicies(parsed.options, *policies);
    plan.options = std::move(parsed.options);
    if (parsed.rejected) plan.rejected = std::move(parsed.rejectedValue);
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
