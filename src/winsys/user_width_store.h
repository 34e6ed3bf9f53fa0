// Where the width a user gives the pane is kept, for that user alone (the
// Windows build: HKEY_CURRENT_USER\Software\Kestrum, value UserWidth, which
// roams with the user's profile): read at the start, written the moment it
// is taken, so that a watch ended hard loses nothing.
#pragma once

#include <cstdint>
#include <optional>

namespace kestrum {

// What the store holds: the width kept, none when there is none; and
// whether a value is there that is not a number (a REG_SZ, say).
struct StoredWidth {
    std::optional<std::uint32_t> width;
    bool notANumber = false;
};

class UserWidthStore {
public:
    virtual ~UserWidthStore() = default;

    virtual StoredWidth Read() = 0;
    // Keeps `width` in place of any kept before; false when it could not be.
    virtual bool Write(std::uint32_t width) = 0;
    // Removes the width kept; nothing happens when there is none.
    virtual void Erase() = 0;
};

}  // namespace kestrum
