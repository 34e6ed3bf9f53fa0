// The message boxes the program shows its user: the second port to the
// window manager, kept apart from WindowSystem so that what reports to the
// user can be watched without standing in for every window query.
#pragma once

#include <string_view>

namespace kestrum {

class MessageBoxes {
public:
    virtual ~MessageBoxes() = default;

    // A modal box with this text, an OK button only, no icon and the
    // program's title as caption; returns once it is dismissed.
    virtual void Show(std::string_view text) = 0;
    // Whether anyone can see and answer a box here: not in a window station
    // that is not visible (a service, a task run whether or not the user is
    // logged on), where a box would wait for ever.
    virtual bool CanBeAnswered() = 0;
};

}  // namespace kestrum
