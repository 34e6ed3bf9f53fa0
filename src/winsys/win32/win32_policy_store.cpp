#include "winsys/win32/win32_policy_store.h"

#include <windows.h>

#include <optional>
#include <string>

#include "winsys/win32/win32_text.h"

namespace kestrum::win32 {
namespace {

HKEY Root(PolicyScope scope) { return scope == PolicyScope::Machine ? HKEY_LOCAL_MACHINE : HKEY_CURRENT_USER; }

// The longest text taken, in characters: as long as a path can be.
constexpr DWORD kLongestText = 32767;

// The text with this process's environment variables put in; none when the
// result would be longer than a text taken.
std::optional<std::wstring> Expanded(const std::wstring& text) {
    const DWORD room = ExpandEnvironmentStringsW(text.c_str(), nullptr, 0);
    if (room == 0 || room > kLongestText + 1) return std::nullopt;
    std::wstring expanded(room, L'\0');
    const DWORD used = ExpandEnvironmentStringsW(text.c_str(), expanded.data(), room);
    if (used == 0 || used > room) return std::nullopt;
    expanded.resize(wcsnlen(expanded.c_str(), expanded.size()));
    return expanded;
}

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

PolicyText Win32PolicyStore::Text(PolicyScope scope, std::string_view name) {
    const std::wstring valueName = Utf8ToWide(name);
    // Read as it is stored: Wine 8 and Windows before 8 refuse to expand
    // when both string types are asked for. Expanded here instead.
    constexpr DWORD kTypes = RRF_RT_REG_SZ | RRF_RT_REG_EXPAND_SZ | RRF_NOEXPAND;
    DWORD type = REG_NONE;
    DWORD size = 0;
    if (RegGetValueW(Root(scope), key_.c_str(), valueName.c_str(), kTypes, nullptr, nullptr, &size) != ERROR_SUCCESS ||
        size == 0) {
        return {};
    }
    if (size > (kLongestText + 1) * sizeof(wchar_t)) return {std::nullopt, true};
    std::wstring text(size / sizeof(wchar_t) + 1, L'\0');
    size = static_cast<DWORD>(text.size() * sizeof(wchar_t));
    if (RegGetValueW(Root(scope), key_.c_str(), valueName.c_str(), kTypes, &type, text.data(), &size) != ERROR_SUCCESS) {
        return {};
    }
    text.resize(wcsnlen(text.c_str(), text.size()));
    if (type != REG_EXPAND_SZ) return {WideToUtf8(text)};
    const std::optional<std::wstring> expanded = Expanded(text);
    if (!expanded) return {std::nullopt, true};
    return {WideToUtf8(*expanded)};
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
