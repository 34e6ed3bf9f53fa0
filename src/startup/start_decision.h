// What a run does next, from its options and what it has found: one decision
// for every road (the window, the unattended run, the watch, its stop).
#pragma once

#include "startup/start_options.h"

namespace kestrum {

enum class StartStep {
    ShowUsage,        // "/?": tell the usage and end
    RefuseValue,      // a value out of range: say so and end, nothing searched
    StopWatch,        // "/stop": end this session's watch
    Watch,            // "/watch": stay and set every client's pane as it appears
    LookForClients,   // list the clients (nothing is found yet)
    LookAgain,        // a wait is on and what was found does not do yet
    NoClient,         // none found: say so and end
    SetWidth,         // unattended, one client with one pane: set it and end
    ShowWindow,       // show the window for the user
    NothingChanged,   // the window would be shown, but no one is to see it
};

// What was found: the clients, and the panes of the first of them.
struct Found {
    int clients = 0;
    int panesOfFirst = 0;
};

// `found` is null before the clients are looked for; `waitIsOver` tells
// whether the time of a "/wait=" has run out (always, without one).
// `quiet`: the run shows no window and no box (see RunsQuietly).
StartStep DecideStart(const ParsedStartOptions& parsed, const Found* found, bool waitIsOver, bool quiet);

// No box and no window: where no one can see them, in an unattended run
// with "/quiet", and for the watch and its stop (unless the usage is asked).
bool RunsQuietly(const StartOptions& options, bool boxesCanBeAnswered);

}  // namespace kestrum
