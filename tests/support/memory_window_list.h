// The tests' window list: held in memory, and able to fail an append.
#pragma once

#include <new>
#include <string>
#include <utility>

#include "ui/held_window_list.h"

namespace kestrum {

class MemoryWindowList final : public HeldWindowList {
public:
    // Appending a text that contains `part` throws std::bad_alloc, as when
    // memory runs out on the way; the list is left as it was.
    void FailAppendsContaining(std::string part) { failingPart_ = std::move(part); }

    ListIndex AddItem(std::string_view text) override {
        if (!failingPart_.empty() && text.find(failingPart_) != std::string_view::npos) {
            throw std::bad_alloc();
        }
        return HeldWindowList::AddItem(text);
    }

private:
    std::string failingPart_;
};

}  // namespace kestrum
