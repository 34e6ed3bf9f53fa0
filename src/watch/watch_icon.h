// The watch's icon in the notification area: its tip and menu follow the
// width in force and the pause; the menu's choices go to the watch, to
// `open` (Kestrum's window) and to `exit` (the watch's end); a pane the watch
// could not set is told in a notification.
#pragma once

#include <functional>

#include "watch/watcher.h"
#include "winsys/notification_area.h"

namespace kestrum {

class WatchIcon {
public:
    WatchIcon(NotificationArea& area, Watcher& watcher, std::function<void()> open, std::function<void()> exit);
    ~WatchIcon();
    WatchIcon(const WatchIcon&) = delete;
    WatchIcon& operator=(const WatchIcon&) = delete;

    // Shown, or shown anew as the watch now is.
    void Show();

private:
    void Chosen(IconCommand command);

    NotificationArea& area_;
    Watcher& watcher_;
    std::function<void()> open_;
    std::function<void()> exit_;
};

}  // namespace kestrum
