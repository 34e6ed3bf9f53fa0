// UserWidthStore over the registry, for the Windows build: a REG_DWORD value
// under a key of HKEY_CURRENT_USER.
#pragma once

#include <string>
#include <string_view>

#include "winsys/user_width_store.h"

namespace kestrum::win32 {

class Win32UserWidthStore final : public UserWidthStore {
public:
    // `key`: below HKEY_CURRENT_USER; `value`: the value's name. UTF-8.
    Win32UserWidthStore(std::string_view key, std::string_view value);

    StoredWidth Read() override;
    // The key is made when it is not there.
    bool Write(std::uint32_t width) override;
    void Erase() override;

private:
    std::wstring key_;
    std::wstring value_;
};

}  // namespace kestrum::win32
