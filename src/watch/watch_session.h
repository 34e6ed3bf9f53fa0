// The resident watch's run in its session, from the program's start to the
// end of its loop: it becomes the session's one watch, watches, shows its
// icon (its tip and menu as the watch is, a notice for a pane it could not
// set), does what its menu or the command line asks, and ends once,
// whatever asks it to: /stop, the end of the session, Windows closing it for
// an update, Exit in its icon's menu, or the end of the client it started.
// Started with a program to run (/run=), it starts it: where another watch
// runs, that is all (the other sets the pane); otherwise it ends once the
// program has ended and no client remains.
#pragma once

#include <optional>

#include "startup/start_plan.h"
#include "watch/watcher.h"
#include "winsys/notification_area.h"
#include "winsys/session_watches.h"
#include "winsys/watch_host.h"

namespace kestrum {

struct WatchPorts {
    WindowSystem& system;
    Timers& timers;
    WindowEvents& events;
    SessionWatches& session;
    WatchHost& host;
    NotificationArea* area = nullptr;         // null: no icon
    UserWidthStore* userWidths = nullptr;     // the user's own width, kept where the plan remembers it
};

class WatchSession final : public WatchListener, public WatchHost::Listener {
public:
    WatchSession(const StartPlan& plan, WatchPorts ports, RunLog& log);
    ~WatchSession();
    WatchSession(const WatchSession&) = delete;
    WatchSession& operator=(const WatchSession&) = delete;

    // Becomes the session's watch and starts watching: none when the loop is
    // to run until the watch ends; otherwise the status to end with at once
    // (5 where no user's windows can be seen, 8 where a watch runs already,
    // 3 where the window events or the host's notices cannot be had; with a
    // program to run, 0 once it is started where a watch runs already, and 9
    // where it cannot be started).
    std::optional<int> Start();
    // The loop failed, after the start: the watch ends with an internal failure, told.
    void Failed();


private:
    void End(WatchEnd why);
    void Chosen(IconCommand command);
    void Changed() override;
    bool Troubled(PaneTrouble trouble) override;
    void SessionEnding(SessionEnd end) override;
    bool Asked(const WatchAsk& ask) override;
    void ProgramEnded() override;
    bool StartProgram(bool forTheRunningWatch);
    // Ends the watch once no client remains, looking again once a second.
    void EndOnceNoClient();

    const StartPlan& plan_;
    WatchPorts ports_;
    RunLog& log_;
    Watcher watcher_;
    OneShotTimer lookAgain_;
    bool started_ = false;
};

}  // namespace kestrum
