// Text conversions at the Win32 boundary: the program works in UTF-8, the
// W calls speak UTF-16.
#pragma once

#include <string>
#include <string_view>

namespace kestrum::win32 {

// Invalid input never fails: ill-formed sequences become U+FFFD.
std::wstring Utf8ToWide(std::string_view text);
std::string WideToUtf8(std::wstring_view text);

}  // namespace kestrum::win32
