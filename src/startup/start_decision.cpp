#include "startup/start_decision.h"

namespace kestrum {

bool RunsQuietly(const StartOptions& options, bool boxesCanBeAnswered) {
    return !boxesCanBeAnswered || (options.AutoMode && options.Quiet) ||
           ((options.Watch || options.Stop) && !options.Help);
}

StartStep DecideStart(const ParsedStartOptions& parsed, const Found* found, bool waitIsOver, bool quiet) {
    const StartOptions& options = parsed.options;
    if (options.Help) return StartStep::ShowUsage;
    // Before any window is searched: a value asked for cannot be carried,
    // and silently using another one would surprise a script.
    if (parsed.rejected) return StartStep::RefuseValue;
    if (options.Stop) return StartStep::StopWatch;
    if (options.Watch) return StartStep::Watch;
    if (found == nullptr) return StartStep::LookForClients;

    // Unattended, the run can go on once it can set the width: one client
    // with one pane. Otherwise any client will do.
    const bool settable = found->clients == 1 && found->panesOfFirst == 1;
    const bool enough = options.AutoMode ? settable : found->clients > 0;
    if (!enough && !waitIsOver) return StartStep::LookAgain;
    if (found->clients == 0) return StartStep::NoClient;
    if (options.AutoMode && settable) return StartStep::SetWidth;
    return quiet ? StartStep::NothingChanged : StartStep::ShowWindow;
}

}  // namespace kestrum
