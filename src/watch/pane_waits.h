// The panes the watch waits for, and when each is looked at next: the
// timing alone, no window asked anything. A pane that is shown is looked at
// every 50 ms until it has kept its place and size for the settling time;
// one that is not shown (or whose client is minimized), less and less often
// (down to once in two seconds, every such pane at the same moment, on a
// shared grid), for a minute; one still moving after that minute, once a
// second until it rests or goes.
#pragma once

#include <chrono>
#include <functional>
#include <map>
#include <optional>
#include <vector>

#include "log/what_happened.h"
#include "winsys/window_system.h"

namespace kestrum {

class PaneWaits {
public:
    enum class Verdict {
        Waits,    // looked at again at its next time
        Settled,  // kept its place and size for the settling time: to be set
        Dropped,  // gone; nothing to say
        GivenUp,  // not shown within a minute, or gone still moving after it: said why
    };
    struct Look {
        Verdict verdict = Verdict::Waits;
        WindowHandle client = 0;
        Rect place;  // where a settled pane rests
        PaneGivenUp::Why why = PaneGivenUp::Why::NotShown;
    };

    explicit PaneWaits(std::chrono::milliseconds settle) : settle_(settle) {}

    // A pane that appeared is looked at `now`; one that waits already (it was
    // shown, or its client restored) is looked at again then.
    void Add(WindowHandle pane, WindowHandle client, std::chrono::milliseconds now);
    void Remove(WindowHandle pane) { waiting_.erase(pane); }
    std::vector<WindowHandle> Panes() const;
    void Clear() { waiting_.clear(); }
    std::size_t Count() const { return waiting_.size(); }
    WindowHandle ClientOf(WindowHandle pane) const;

    // The panes whose time to be looked at has come, and the next such time.
    std::vector<WindowHandle> Due(std::chrono::milliseconds now) const;
    std::optional<std::chrono::milliseconds> NextLook() const;

    // What a look at a pane due found. `there` is asked only where it
    // matters (a pane seen before, or at the end of its minute), as it costs
    // a call. A pane that does not wait on is no longer held.
    Look LookedHidden(WindowHandle pane, std::chrono::milliseconds now, const std::function<bool()>& there);
    Look LookedShown(WindowHandle pane, std::optional<Rect> place, std::chrono::milliseconds now);

private:
    struct Waiting {
        WindowHandle client = 0;
        std::chrono::milliseconds since{0};        // appeared
        std::chrono::milliseconds stableSince{0};  // last changed place or size
        std::chrono::milliseconds hiddenSince{0};  // hidden since (or appeared, if never shown)
        std::chrono::milliseconds due{0};          // looked at next
        bool seen = false;                         // shown, with its place read
        Rect place;
    };
    Look Ends(WindowHandle pane, Verdict verdict, PaneGivenUp::Why why = PaneGivenUp::Why::NotShown);

    std::chrono::milliseconds settle_;
    std::map<WindowHandle, Waiting> waiting_;
};

}  // namespace kestrum
