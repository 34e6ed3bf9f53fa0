// What the resident watch pays for other programs' windows, on the in-memory
// desktop: window-manager calls per event and time per event, for windows
// that are neither clients nor panes (the great majority of what a desktop
// reports). The in-memory desktop answers each call in nanoseconds, so the
// time is the watch's own work per event, not what a real window manager
// charges; the calls are what it would be charged for.
#include <benchmark/benchmark.h>

#include <chrono>
#include <string>
#include <utility>
#include <vector>

#include "discovery/window_discovery.h"
#include "support/desktop_fixture.h"
#include "support/fake_timers.h"
#include "support/memory_desktop.h"
#include "support/memory_user_width_store.h"
#include "watch/watcher.h"

namespace kestrum {
namespace {

using Events = std::vector<std::pair<WindowEvent, WindowHandle>>;

// The events the benchmark replays, handed to the watch as the window
// manager would hand them.
struct Replayed final : WindowEvents {
    bool Start(Handler started) override {
        handler = std::move(started);
        return true;
    }
    void Stop() override {}
    void ReportPlacesIn(WindowHandle) override {}
    Handler handler;
};

// `windows` top-level windows of other programs, each with one child, made
// hidden and then shown, then minimized and restored, the child taking the
// mouse and letting it go; two clients with a pane each, already set (and
// so followed for the user's width). The events the desktop reported are
// replayed to the watch, those of `kind` only: the creations (of the windows
// and of their children), the showings, the restores, the captures' starts
// or ends.
void ForeignEvents(benchmark::State& state) {
    const auto windows = static_cast<int>(state.range(0));
    const WindowEvent kinds[] = {WindowEvent::Created, WindowEvent::Shown, WindowEvent::Restored,
                                 WindowEvent::CaptureStarted, WindowEvent::CaptureEnded};
    const WindowEvent kind = kinds[state.range(1)];
    MemoryDesktop desktop;
    testing::FakeTimers timers;
    testing::MemoryUserWidthStore userWidths;
    RunLog log(nullptr);
    Replayed replayed;
    Watcher watcher(desktop, timers, replayed,
                    {{300, Source::Given}, {300, Source::Given}, std::chrono::milliseconds(500), &userWidths}, log);
    Events events;
    desktop.Start([&events](WindowEvent event, WindowHandle window) { events.emplace_back(event, window); });
    testing::AddClient(desktop, "Orders");
    testing::AddClient(desktop, "Invoices");
    desktop.DeliverEvents();
    watcher.Start();
    timers.Advance(std::chrono::seconds(2));  // both panes set
    events.clear();
    for (int i = 0; i < windows; ++i) {
        NewWindow hidden{"Foreign" + std::to_string(i % 17), "title " + std::to_string(i), {0, 0, 50, 50}};
        hidden.visible = false;
        const WindowHandle top = desktop.AddTopLevel(std::move(hidden));
        const WindowHandle part = desktop.AddChild(top, {"Part", "", {0, 0, 10, 10}});
        desktop.Show(top);
        desktop.Minimize(top);
        desktop.Restore(top);
        desktop.StartCapture(part);
        desktop.EndCapture(part);
    }
    desktop.DeliverEvents();
    std::erase_if(events, [kind](const auto& e) { return e.first != kind; });

    desktop.ResetCalls();
    for (auto _ : state) {
        for (const auto& [event, window] : events) replayed.handler(event, window);
    }
    if (watcher.Waiting() != 0 || timers.Pending() != 0 || userWidths.writes != 0) {
        state.SkipWithError("a foreign window made the watch wait, or was taken for the user's doing");
    }
    const double delivered = static_cast<double>(events.size()) * static_cast<double>(state.iterations());
    state.SetItemsProcessed(state.iterations() * static_cast<std::int64_t>(events.size()));
    state.counters["calls_per_event"] = static_cast<double>(desktop.TotalCalls()) / delivered;
    state.counters["events"] = static_cast<double>(events.size());
    state.counters["windows"] = windows;
}

// kind 0: creations (two per window: it and its child); 1: showings (one);
// 2: restores (one); 3: the mouse taken (one); 4: the mouse let go (one).
BENCHMARK(ForeignEvents)->ArgNames({"windows", "kind"})
    ->Args({1'000, 0})->Args({10'000, 0})->Args({1'000, 1})->Args({10'000, 1})->Args({1'000, 2})->Args({10'000, 2})
    ->Args({1'000, 3})->Args({10'000, 3})->Args({1'000, 4})->Args({10'000, 4})
    ->Unit(benchmark::kNanosecond);

}  // namespace
}  // namespace kestrum

BENCHMARK_MAIN();
