#include "winsys/win32/win32_text.h"

#include <windows.h>

#include <climits>

namespace kestrum::win32 {
namespace {

// MultiByteToWideChar counts in int; longer texts are cut rather than
// overflowing the count.
int ClampedLength(std::size_t length) {
    return length > static_cast<std::size_t>(INT_MAX / 4) ? INT_MAX / 4 : static_cast<int>(length);
}

std::wstring ToWide(UINT codePage, std::string_view text) {
    const int length = ClampedLength(text.size());
    if (length == 0) return {};
    const int needed = MultiByteToWideChar(codePage, 0, text.data(), length, nullptr, 0);
    if (needed <= 0) return {};
    std::wstring wide(static_cast<std::size_t>(needed), L'\0');
    const int written = MultiByteToWideChar(codePage, 0, text.data(), length, wide.data(), needed);
    wide.resize(written > 0 ? static_cast<std::size_t>(written) : 0);
    return wide;
}

}  // namespace

std::wstring Utf8ToWide(std::string_view text) { return ToWide(CP_UTF8, text); }

std::string WideToUtf8(std::wstring_view text) {
    const int length = ClampedLength(text.size());
    if (length == 0) return {};
    const int needed =
        WideCharToMultiByte(CP_UTF8, 0, text.data(), length, nullptr, 0, nullptr, nullptr);
    if (needed <= 0) return {};
    std::string utf8(static_cast<std::size_t>(needed), '\0');
    const int written = WideCharToMultiByte(CP_UTF8, 0, text.data(), length, utf8.data(), needed,
                                            nullptr, nullptr);
    utf8.resize(written > 0 ? static_cast<std::size_t>(written) : 0);
    return utf8;
}

}  // namespace kestrum::win32
