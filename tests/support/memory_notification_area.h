// The notification area held in memory: the icon's look and the
// notifications as shown, and the user's clicks played by the test.
#pragma once

#include <algorithm>
#include <string>
#include <vector>

#include "winsys/notification_area.h"

namespace kestrum::testing {

class MemoryNotificationArea final : public NotificationArea {
public:
    void Listen(Chosen chosen) override { chosen_ = std::move(chosen); }
    void Show(const IconLook& shown) override {
        look = shown;
        showing = true;
    }
    void Hide() override { showing = false; }
    bool Notify(std::string_view text) override {
        if (showing) notices.emplace_back(text);
        return showing;
    }

    // Chooses the item of the menu as it is shown; false when the icon or
    // the item is not there.
    bool Choose(IconCommand command) {
        const bool there = showing && std::any_of(look.menu.begin(), look.menu.end(), [command](const IconMenuItem& i) {
                               return i.command == command;
                           });
        if (there && chosen_) chosen_(command);
        return there;
    }
    // The menu's texts, as shown, "[x]" before a checked one, "*" before the
    // default.
    std::vector<std::string> MenuTexts() const {
        std::vector<std::string> texts;
        for (const IconMenuItem& item : look.menu) {
            texts.push_back((item.checked ? "[x]" : "") + std::string(item.isDefault ? "*" : "") + item.text);
        }
        return texts;
    }

    IconLook look;
    bool showing = false;
    std::vector<std::string> notices;

private:
    Chosen chosen_;
};

}  // namespace kestrum::testing
