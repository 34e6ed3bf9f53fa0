#include "watch/watch_icon.h"

#include <utility>

#include "watch/icon_words.h"

namespace kestrum {

WatchIcon::WatchIcon(NotificationArea& area, Watcher& watcher, std::function<void()> open, std::function<void()> exit)
    : area_(area), watcher_(watcher), open_(std::move(open)), exit_(std::move(exit)) {
    area_.Listen([this](IconCommand command) { Chosen(command); });
    watcher_.changed = [this] { Show(); };
    watcher_.troubled = [this](PaneTrouble trouble) { area_.Notify(TroubleNotice(trouble)); };
}

WatchIcon::~WatchIcon() {
    watcher_.changed = nullptr;
    watcher_.troubled = nullptr;
    area_.Listen(nullptr);
}

void WatchIcon::Show() {
    area_.Show(IconLookFor(watcher_.Width().Width(), watcher_.Width().From(), watcher_.Paused()));
}

void WatchIcon::Chosen(IconCommand command) {
    switch (command) {
        case IconCommand::ApplyNow: watcher_.ApplyNow(); break;
        case IconCommand::Pause: watcher_.Pause(!watcher_.Paused()); break;
        case IconCommand::Forget: watcher_.ForgetUserWidth(); break;
        case IconCommand::Open:
            if (open_) open_();
            break;
        case IconCommand::Exit:
            if (exit_) exit_();
            break;
    }
}

}  // namespace kestrum
