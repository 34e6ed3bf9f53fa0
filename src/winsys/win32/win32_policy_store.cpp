#include "winsys/win32/win32_policy_store.h"

#include <windows.h>

#include <string>

#include "winsys/win32/win32_text.h"

namespace kestrum::win32 {
namespace {

HKEY Root(PolicyScope scope) { return scope == PolicyScope::Machine ? HKEY_LOCAL_MACHINE : HKEY_CURRENT_USER; }

}  // namespace

Win32PolicyStore::Win32PolicyStore(std::string_view key) : key_(Utf8ToWide(key)) {}

std::optional<std::uint32_t> Win32PolicyStore::Number(PolicyScope scope, std::string_view name) {
    DWORD value = 0;
    DWORD size = sizeof value;
    if (RegGetValueW(Root(scope), key_.c_str(), Utf8ToWide(name).c_str(), RRF_RT_REG_DWORD, nullptr, &value, &size) !=
        ERROR_SUCCESS) {
        return std::nullopt;
    }
    return value;
}

std::optional<std::string> Win32PolicyStore::Text(PolicyScope scope, std::string_view name) {
    const std::wstring valueName = Utf8ToWide(name);
    constexpr DWORD kTypes = RRF_RT_REG_SZ | RRF_RT_REG_EXPAND_SZ;
    DWORD size = 0;
    if (RegGetValueW(Root(scope), key_.c_str(), valueName.c_str(), kTypes, nullptr, nullptr, &size) != ERROR_SUCCESS ||
        size == 0 || size > 64 * 1024) {
        return std::nullopt;
    }
    std::wstring text(size / sizeof(wchar_t) + 1, L'\0');
    size = static_cast<DWORD>(text.size() * sizeof(wchar_t));
    if (RegGetValueW(Root(scope), key_.c_str(), valueName.c_str(), kTypes, nullptr, text.data(), &size) != ERROR_SUCCESS) {
        return std::nullopt;
    }
    text.resize(wcsnlen(text.c_str(), text.size()));
    return WideToUtf8(text);
}

std::string Win32PolicyStore::TypeOf(PolicyScope scope, std::string_view name) {
    DWORD type = REG_NONE;
    if (RegGetValueW(Root(scope), key_.c_str(), Utf8ToWide(name).c_str(), RRF_RT_ANY | RRF_NOEXPAND, &type, nullptr,
                     nullptr) != ERROR_SUCCESS) {
        return {};
    }
    switch (type) {
        case REG_NONE: return "REG_NONE";
        case REG_SZ: return "REG_SZ";
        case REG_EXPAND_SZ: return "REG_EXPAND_SZ";
        case REG_BINARY: return "REG_BINARY";
        case REG_DWORD: return "REG_DWORD";
        case REG_DWORD_BIG_ENDIAN: return "REG_DWORD_BIG_ENDIAN";
        case REG_LINK: return "REG_LINK";
        case REG_MULTI_SZ: return "REG_MULTI_SZ";
        case REG_QWORD: return "REG_QWORD";
        default: return "type " + std::to_string(type);
    }
}

}  // namespace kestrum::win32
