#include "winsys/win32/win32_user_width_store.h"

#include <windows.h>

#include "winsys/win32/win32_text.h"

namespace kestrum::win32 {

Win32UserWidthStore::Win32UserWidthStore(std::string_view key, std::string_view value)
    : key_(Utf8ToWide(key)), value_(Utf8ToWide(value)) {}

StoredWidth Win32UserWidthStore::Read() {
    DWORD width = 0;
    DWORD size = sizeof width;
    const LSTATUS read =
        RegGetValueW(HKEY_CURRENT_USER, key_.c_str(), value_.c_str(), RRF_RT_REG_DWORD, nullptr, &width, &size);
    if (read == ERROR_SUCCESS) return {width};
    return {std::nullopt, read == ERROR_UNSUPPORTED_TYPE};
}

bool Win32UserWidthStore::Write(std::uint32_t width) {
    const DWORD value = width;
    return RegSetKeyValueW(HKEY_CURRENT_USER, key_.c_str(), value_.c_str(), REG_DWORD, &value, sizeof value) ==
           ERROR_SUCCESS;
}

void Win32UserWidthStore::Erase() { RegDeleteKeyValueW(HKEY_CURRENT_USER, key_.c_str(), value_.c_str()); }

}  // namespace kestrum::win32
