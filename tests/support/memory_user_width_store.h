// The user's width held in memory, with the writes counted.
#pragma once

#include <optional>

#include "winsys/user_width_store.h"

namespace kestrum::testing {

class MemoryUserWidthStore final : public UserWidthStore {
public:
    StoredWidth Read() override {
        ++reads;
        return {width, notANumber};
    }
    bool Write(std::uint32_t value) override {
        ++writes;
        width = value;
        return true;
    }
    void Erase() override { width.reset(); }

    std::optional<std::uint32_t> width;
    bool notANumber = false;
    int reads = 0;
    int writes = 0;
};

}  // namespace kestrum::testing
