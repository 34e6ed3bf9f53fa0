// What the watch's icon says, in words: its tip and its menu for the state
// the watch is in, and the notification for a pane it could not set.
#pragma once

#include <cstdint>
#include <string_view>

#include "startup/policies.h"
#include "winsys/notification_area.h"

namespace kestrum {

// A pane the watch could not set, for a reason the user can do something about.
enum class PaneTrouble {
    HigherRights,  // its client runs with higher rights (started as administrator)
    NotAnswering,  // its client does not answer
    SeveralPanes,  // its client has several panes: which one is not known
};

// "Kestrum: navigation pane 360 pixels (your own width)", ", paused" after it
// while paused; the menu's items, "&Forget my width" only while the user's
// width is in force, "&Open Kestrum" the default.
IconLook IconLookFor(std::int16_t width, Source from, bool paused);

// One sentence: what happened and what to do.
std::string_view TroubleNotice(PaneTrouble trouble);

}  // namespace kestrum
