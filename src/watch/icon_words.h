// What the watch's icon says, in words: its tip and its menu for the state
// the watch is in, and the notification for a pane it could not set.
#pragma once

#include <cstdint>
#include <string_view>

#include "startup/policies.h"
#include "watch/pane_trouble.h"
#include "winsys/notification_area.h"

namespace kestrum {

// "Kestrum: navigation pane 360 pixels (your own width)", ", paused" after it
// while paused; the menu's items, "&Forget my width" only while the user's
// width is in force, "&Open Kestrum" the default.
IconLook IconLookFor(std::int16_t width, Source from, bool paused);

// One sentence: what happened and what to do.
std::string_view TroubleNotice(PaneTrouble trouble);

}  // namespace kestrum
