// Who hears what the watch has to say beyond its log: its icon.
#pragma once

#include "watch/pane_trouble.h"

namespace kestrum {

class WatchListener {
public:
    // The width in force, or the pause, changed.
    virtual void Changed() = 0;
    // A pane could not be set: once each time its client appears, until the
    // user could be told (false: not now, as with no icon yet).
    virtual bool Troubled(PaneTrouble trouble) = 0;

protected:
    ~WatchListener() = default;
};

}  // namespace kestrum
