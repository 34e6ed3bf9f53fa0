// What discovery costs on the in-memory desktop: nanoseconds per window
// looked at, and how that changes as the desktop grows. The in-memory desktop
// answers each call in a few nanoseconds, so these figures are the program's
// own work per window (the callback, the class comparison, list appends),
// not what a real window manager charges.
#include <benchmark/benchmark.h>

#include <string>

#include "discovery/window_discovery.h"
#include "support/fake_timers.h"
#include "support/recording_message_boxes.h"
#include "support/memory_desktop.h"
#include "ui/form1.h"
#include "ui/list_windows.h"

namespace kestrum {
namespace {

constexpr const char* kClient = "C/SIDE Application";
constexpr const char* kPane = "C/SIDE NavPane";

// Top-level discovery: `windows` top-level windows of which two are clients
// (a third of the way and at the end); each carries `descendants` windows of
// its own, which this pass does not look at.
void TopLevel(benchmark::State& state) {
    const auto windows = static_cast<int>(state.range(0));
    const auto descendants = static_cast<int>(state.range(1));
    MemoryDesktop desktop;
    for (int i = 0; i < windows; ++i) {
        const bool client = i == windows / 3 || i == windows - 1;
        const WindowHandle top = desktop.AddTopLevel(
            {client ? kClient : "Foreign" + std::to_string(i % 17), "title " + std::to_string(i)});
        for (int k = 0; k < descendants; ++k) desktop.AddChild(top, {"Part"});
    }
    WindowList clients;
    desktop.ResetCalls();
    for (auto _ : state) {
        clients.Clear();
        ListWindows(desktop, clients, kModeMainWindows, 0);
        benchmark::DoNotOptimize(clients.ListCount());
    }
    if (clients.ListCount() != 2) state.SkipWithError("expected two clients");
    state.SetItemsProcessed(state.iterations() * windows);
    const double foreign = static_cast<double>(windows - 2) * static_cast<double>(state.iterations());
    // Calls made for the foreign windows: everything but the enumeration
    // itself and the two calls (class, text) for each client.
    const double calls = static_cast<double>(desktop.TotalCalls()) -
                         static_cast<double>(state.iterations()) * (1 + 2 * 2);
    state.counters["calls_per_foreign"] = calls / foreign;
    state.counters["windows"] = windows;
}

// Pane discovery inside one client holding `windows` descendants, in chains
// of ten; every `paneEvery`-th one is a pane (0: only one pane, the last).
// With many panes this measures the appends to the pane list as well.
void Panes(benchmark::State& state) {
    const auto windows = static_cast<int>(state.range(0));
    const auto paneEvery = static_cast<int>(state.range(1));
    MemoryDesktop desktop;
    const WindowHandle client = desktop.AddTopLevel({kClient, "client"});
    WindowHandle parent = client;
    int panes = 0;
    for (int i = 0; i < windows; ++i) {
        if (i % 10 == 0) parent = client;
        const bool pane = paneEvery > 0 ? i % paneEvery == 0 : i == windows - 1;
        panes += pane ? 1 : 0;
        parent = desktop.AddChild(parent, {pane ? kPane : "Part", pane ? "pane" : ""});
    }
    testing::RecordingMessageBoxes messages;
    testing::FakeTimers clock;
    const StartPlan plan;
    RunLog log(nullptr);
    Form1 form(desktop, messages, clock, plan, log);
    ListWindows(desktop, form.List1(0), kModeMainWindows, 0);
    form.List1(0).SetSelectedIndex(0);
    for (auto _ : state) {
        form.List1_Click(0);  // clears the pane list and fills it again
        benchmark::DoNotOptimize(form.List1(2).ListCount());
    }
    if (form.List1(2).ListCount() != panes) state.SkipWithError("pane count differs");
    state.SetItemsProcessed(state.iterations() * windows);
    state.counters["windows"] = windows;
    state.counters["panes"] = panes;
}

// 1,000 to 100,000 top-level windows, each with ten descendants: the largest
// is the crowded desktop of 10,000 top-level windows and 100,000 descendants
// at 10,000.
BENCHMARK(TopLevel)->ArgNames({"top", "desc"})
    ->Args({1'000, 10})->Args({3'000, 10})->Args({10'000, 10})->Args({30'000, 10})
    ->Args({100'000, 10})->Unit(benchmark::kMicrosecond);
BENCHMARK(Panes)->ArgNames({"desc", "paneEvery"})
    ->Args({1'000, 0})->Args({10'000, 0})->Args({100'000, 0})
    // A list holds at most 32,767 entries: 1 in 4 of 100,000 stays below.
    ->Args({1'000, 4})->Args({10'000, 4})->Args({100'000, 4})
    ->Unit(benchmark::kMicrosecond);

}  // namespace
}  // namespace kestrum

BENCHMARK_MAIN();
