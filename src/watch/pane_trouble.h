// A pane the watch could not set, for a reason the user can do something
// about: what its icon tells, once each time the client appears.
#pragma once

#include <optional>

#include "actions/pane_width_reset.h"

namespace kestrum {

enum class PaneTrouble {
    HigherRights,  // its client runs with higher rights (started as administrator)
    OtherAccount,  // its client runs under another user's account
    NotAnswering,  // its client does not answer
    SeveralPanes,  // its client has several panes: which one is not known
};

// The trouble a width reset's outcome is for the user; none where it went
// well, or the pane is gone.
inline std::optional<PaneTrouble> TroubleOf(ResetOutcome outcome) {
    switch (outcome) {
        case ResetOutcome::Refused: return PaneTrouble::HigherRights;
        case ResetOutcome::OtherAccount: return PaneTrouble::OtherAccount;
        case ResetOutcome::NotAnswering: return PaneTrouble::NotAnswering;
        default: return std::nullopt;
    }
}

}  // namespace kestrum
