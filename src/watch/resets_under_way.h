// The widths the watch has asked of panes and is still confirming, one a
// pane, each with what its log line names: the client (its title as it was
// when the width was asked: the client may be gone by the report), the
// width before, and the width asked and where it came from.
#pragma once

#include <cstdint>
#include <functional>
#include <list>
#include <string>
#include <vector>

#include "actions/pane_width_reset.h"
#include "startup/policies.h"
#include "winsys/timers.h"
#include "winsys/window_system.h"

namespace kestrum {

class ResetsUnderWay {
public:
    struct Asked {
        WindowHandle pane = 0;
        WindowHandle client = 0;
        std::string title;
        std::int32_t widthBefore = 0;
        WidthChoice width{0, Source::Given};
    };
    // Called once a reset is done; nothing of it runs after.
    using Done = std::function<void(const Asked& asked, const ResetReport& report)>;

    ResetsUnderWay(WindowSystem& system, Timers& timers, Done done)
        : system_(system), timers_(timers), done_(std::move(done)) {}

    void Start(Asked asked);
    bool Setting(WindowHandle pane) const;
    // Each ends unreported; what each had asked.
    std::vector<Asked> CancelAll();
    std::size_t Count() const { return running_.size(); }

private:
    struct Running {
        Running(Asked asked, WindowSystem& system, Timers& timers) : asked(std::move(asked)), reset(system, timers) {}
        Asked asked;
        PaneWidthReset reset;
    };

    WindowSystem& system_;
    Timers& timers_;
    Done done_;
    std::list<Running> running_;
};

}  // namespace kestrum
