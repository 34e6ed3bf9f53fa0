// The program's icon in the notification area: shown with a tip and a menu,
// and the notifications it gives. The texts are the caller's; the menu's
// choices come back as commands, from the program's loop.
#pragma once

#include <functional>
#include <string>
#include <string_view>
#include <vector>

namespace kestrum {

enum class IconCommand {
    ApplyNow,
    Pause,
    Forget,
    Open,
    Exit,
};

struct IconMenuItem {
    std::string text;  // with its access key marked: "&Pause"
    IconCommand command;
    bool checked = false;
    // Shown in bold, and what a double click on the icon chooses.
    bool isDefault = false;
    friend bool operator==(const IconMenuItem&, const IconMenuItem&) = default;
};

struct IconLook {
    std::string tip;
    std::vector<IconMenuItem> menu;  // in the order shown
};

class NotificationArea {
public:
    using Chosen = std::function<void(IconCommand)>;

    virtual ~NotificationArea() = default;

    // What the user chooses from the menu (or by a double click) goes to
    // `chosen`, from the program's loop.
    virtual void Listen(Chosen chosen) = 0;
    // Shows the icon, or changes its tip and menu. An icon that cannot be
    // shown yet (no notification area, as early in a logon) is shown as soon
    // as there is one, and again whenever the area is made anew.
    virtual void Show(const IconLook& look) = 0;
    // Takes the icon away; nothing happens when it is not shown.
    virtual void Hide() = 0;
    // A notification from the icon (what could not be done and what to do),
    // in the user's quiet hours only where the system allows it; false when
    // it could not be given (the icon is not shown).
    virtual bool Notify(std::string_view text) = 0;
};

}  // namespace kestrum
