// A pane the watch could not set, for a reason the user can do something
// about: what its icon tells, once each time the client appears.
#pragma once

namespace kestrum {

enum class PaneTrouble {
    HigherRights,  // its client runs with higher rights (started as administrator)
    NotAnswering,  // its client does not answer
    SeveralPanes,  // its client has several panes: which one is not known
};

}  // namespace kestrum
