#include "watch/watch_session.h"

#include "discovery/window_discovery.h"
#include "startup/start_outcome.h"
#include "watch/icon_words.h"
#include "watch/one_watch_per_session.h"

namespace kestrum {
namespace {

// How often the clients are looked for once the program started has ended.
constexpr std::chrono::seconds kClientsLookedForEvery{1};

}  // namespace

WatchSession::WatchSession(const StartPlan& plan, WatchPorts ports, RunLog& log)
    : plan_(plan),
      ports_(ports),
      log_(log),
      watcher_(ports.system, ports.timers, ports.events,
               {{plan.options.NewSize, plan.from.width},
                plan.withoutUsers,
                std::chrono::milliseconds(plan.options.SettleMs),
                plan.remembersUserWidth ? ports.userWidths : nullptr},
               log, this),
      lookAgain_(ports.timers) {}

WatchSession::~WatchSession() {
    if (ports_.area != nullptr) ports_.area->Listen(nullptr);
}

std::optional<int> WatchSession::Start() {
    const bool runs = !plan_.options.Program.program.empty();
    if (const std::optional<NotTheWatch> notWatching = BecomeTheWatch(ports_.session)) {
        if (runs && notWatching->status == kExitAlreadyWatching) {
            return StartProgram(true) ? kExitNormal : kExitProgramNotStarted;
        }
        log_.Tell(notWatching->why);
        return notWatching->status;
    }
    if (runs && !StartProgram(false)) return kExitProgramNotStarted;
    if (ports_.area != nullptr) ports_.area->Listen([this](IconCommand command) { Chosen(command); });
    if (!ports_.host.Listen(*this) || !watcher_.Start()) {
        log_.Tell(Failure::WatchNotStarted);
        return kExitInternalFailure;
    }
    started_ = true;
    log_.Tell(WatchStarted{plan_.options.NewSize, plan_.from.width, plan_.options.SettleMs, plan_.from.settle});
    // Started again, it would start the program again beside the one running.
    if (!runs && !ports_.host.RestartAfterUpdate(plan_.argumentText)) log_.Tell(WatchMishap::NotRegisteredForRestart);
    Changed();
    return std::nullopt;
}

void WatchSession::Failed() {
    try {
        if (started_) log_.Tell(Failure::WatchFailed);
    } catch (...) {
        // Memory ran out: the failure goes untold.
    }
}

bool WatchSession::StartProgram(bool forTheRunningWatch) {
    const ProgramLine& line = plan_.options.Program;
    if (const std::optional<std::string> failure = ports_.host.StartProgram(line)) {
        log_.Tell(ProgramNotStarted{line, *failure});
        return false;
    }
    log_.Tell(ProgramStarted{line, forTheRunningWatch});
    return true;
}

void WatchSession::End(WatchEnd why) {
    lookAgain_.Stop();
    bool first = true;
    try {
        first = watcher_.End(why);
    } catch (...) {
        // Not logged (memory ran out): it ends all the same.
    }
    if (first) ports_.host.Quit();
}

void WatchSession::Chosen(IconCommand command) {
    switch (command) {
        case IconCommand::ApplyNow: watcher_.ApplyNow(); break;
        case IconCommand::Pause: watcher_.Pause(!watcher_.Paused()); break;
        case IconCommand::Forget: watcher_.ForgetUserWidth(); break;
        case IconCommand::Open:
            if (!ports_.host.OpenWindow()) log_.Tell(WatchMishap::WindowNotOpened);
            break;
        case IconCommand::Exit: End(WatchEnd::StoppedFromIcon); break;
    }
}

void WatchSession::Changed() {
    if (ports_.area == nullptr) return;
    const WidthChoice width = watcher_.Width();
    ports_.area->Show(IconLookFor(width.width, width.from, watcher_.Paused()));
}

bool WatchSession::Troubled(PaneTrouble trouble) {
    return ports_.area != nullptr && ports_.area->Notify(TroubleNotice(trouble));
}

void WatchSession::SessionEnding(SessionEnd end) {
    End(end == SessionEnd::ClosedByWindows ? WatchEnd::ClosedByWindows : WatchEnd::SessionEnded);
}

bool WatchSession::Asked(const WatchAsk& ask) {
    if (watcher_.Ended()) return false;
    switch (ask.request) {
        case WatchRequest::Stop: End(WatchEnd::Stopped); break;
        case WatchRequest::UserWidth: watcher_.UserSet(ask.pane, ask.width); break;
        case WatchRequest::ApplyNow:
            log_.Tell(AskedFromCommandLine{ask.request});
            watcher_.ApplyNow();
            break;
        case WatchRequest::Pause:
        case WatchRequest::Resume: {
            const bool pause = ask.request == WatchRequest::Pause;
            log_.Tell(AskedFromCommandLine{ask.request, watcher_.Paused() == pause});
            watcher_.Pause(pause);
            break;
        }
        case WatchRequest::Forget:
            log_.Tell(AskedFromCommandLine{ask.request, watcher_.Width().from != Source::UserWidth});
            watcher_.ForgetUserWidth();
            break;
    }
    return true;
}

void WatchSession::ProgramEnded() { EndOnceNoClient(); }

void WatchSession::EndOnceNoClient() {
    if (watcher_.Ended()) return;
    if (FindClients(ports_.system).empty()) {
        End(WatchEnd::EndedWithClient);
        return;
    }
    lookAgain_.Start(kClientsLookedForEvery, [this] { EndOnceNoClient(); });
}

}  // namespace kestrum
