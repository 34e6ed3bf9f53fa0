// Message boxes recorded instead of shown.
#pragma once

#include <string>
#include <string_view>
#include <vector>

#include "winsys/message_boxes.h"

namespace kestrum::testing {

class RecordingMessageBoxes final : public MessageBoxes {
public:
    void Show(std::string_view text) override { texts_.emplace_back(text); }
    bool CanBeAnswered() override { return answerable; }
    const std::vector<std::string>& Texts() const { return texts_; }

    // False plays a window station no one can see.
    bool answerable = true;

private:
    std::vector<std::string> texts_;
};

}  // namespace kestrum::testing
