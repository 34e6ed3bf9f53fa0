// Where the width a user gives the pane is kept, for that user alone (the
// Windows build: HKEY_CURRENT_USER\Software\Kestrum, value UserWidth, which
// roams with the user's profile): read at the start, written the moment it
// is taken, so that a watch ended hard loses nothing.
#pragma once

#include <cstdint>
#include <optional>

namespace kestrum {

class UserWidthStore {
public:
    virtual ~UserWidthStore() = default;

    // The width kept; none when there is none, or it is not a number.
    virtual std::optional<std::uint32_t> Read() = 0;
    // Keeps `width` in place of any kept before; false when it could not be.
    virtual bool Write(std::uint32_t width) = 0;
    // Removes the width kept; nothing happens when there is none.
    virtual void Erase() = 0;
};

}  // namespace kestrum
