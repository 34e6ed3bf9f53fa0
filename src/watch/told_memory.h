// What the watch has told of each client, so that a flood cannot flood the
// log, the event log or the user: a client's trouble (not answering, a width
// refused or not taken, several panes) and its width set (an event at level
// 2) are told once while it is open, and of a client that keeps coming back
// (the same title, opened again) once an hour; the icon's notice, once each
// time a client appears, until it could be shown. Bounded: the clients are
// forgotten when they go, the titles after their hour, and at most 256
// titles are kept.
#pragma once

#include <chrono>
#include <map>
#include <optional>
#include <set>
#include <string>
#include <string_view>
#include <utility>

#include "actions/pane_width_reset.h"
#include "winsys/window_system.h"

namespace kestrum {

enum class Told { NotAnswering, NotTaken, Refused, SeveralPanes, Set };

// What a width reset's outcome is to tell; none for a pane gone.
inline std::optional<Told> ToldOf(ResetOutcome outcome) {
    switch (outcome) {
        case ResetOutcome::Moved:
        case ResetOutcome::AlreadyThatWide: return Told::Set;
        case ResetOutcome::NotAnswering: return Told::NotAnswering;
        case ResetOutcome::NotTaken: return Told::NotTaken;
        case ResetOutcome::Refused:
        case ResetOutcome::OtherAccount: return Told::Refused;
        case ResetOutcome::PaneGone: break;
    }
    return std::nullopt;
}

class ToldMemory {
public:
    // True when `what` of this client is to be told, and remembered as told.
    bool News(WindowHandle client, std::string_view title, Told what, std::chrono::milliseconds now);
    bool NoticeDue(WindowHandle client) const { return !noticed_.contains(client); }
    void Noticed(WindowHandle client) { noticed_.insert(client); }
    // A client that appears anew (a handle made anew, or the same one shown
    // again) is news again.
    void Appeared(WindowHandle client);
    // Forgets the clients gone.
    void DropGone(WindowSystem& system);
    std::size_t Count() const { return open_.size() + recent_.size() + noticed_.size(); }

private:
    std::set<std::pair<WindowHandle, Told>> open_;
    std::set<WindowHandle> noticed_;
    std::map<std::pair<std::string, Told>, std::chrono::milliseconds> recent_;  // when told, by title
};

}  // namespace kestrum
