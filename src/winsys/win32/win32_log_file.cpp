#include "winsys/win32/win32_log_file.h"

#include <windows.h>

#include "winsys/win32/win32_handles.h"
#include "winsys/win32/win32_text.h"

namespace kestrum::win32 {

Win32LogFile::Win32LogFile(const std::string& utf8Path) : path_(Utf8ToWide(utf8Path)) {}

std::uint64_t Win32LogFile::Size() {
    WIN32_FILE_ATTRIBUTE_DATA data{};
    if (!GetFileAttributesExW(path_.c_str(), GetFileExInfoStandard, &data)) return 0;
    return (std::uint64_t{data.nFileSizeHigh} << 32) | data.nFileSizeLow;
}

bool Win32LogFile::Append(std::string_view bytes) {
    // Every write goes to the end, whoever else appends meanwhile.
    const UniqueHandle file(CreateFileW(path_.c_str(), FILE_APPEND_DATA, FILE_SHARE_READ | FILE_SHARE_WRITE | FILE_SHARE_DELETE,
                                        nullptr, OPEN_ALWAYS, FILE_ATTRIBUTE_NORMAL, nullptr));
    if (!file) return false;
    DWORD written = 0;
    return WriteFile(file.Get(), bytes.data(), static_cast<DWORD>(bytes.size()), &written, nullptr) != 0 &&
           written == bytes.size();
}

bool Win32LogFile::SetAside() {
    return MoveFileExW(path_.c_str(), (path_ + L".1").c_str(), MOVEFILE_REPLACE_EXISTING) != 0;
}

bool Win32LogFile::BeginAgain() {
    // Also while a reader holds it open, as long as it lets others write.
    const UniqueHandle file(CreateFileW(path_.c_str(), GENERIC_WRITE, FILE_SHARE_READ | FILE_SHARE_WRITE | FILE_SHARE_DELETE,
                                        nullptr, TRUNCATE_EXISTING, FILE_ATTRIBUTE_NORMAL, nullptr));
    return static_cast<bool>(file);
}

}  // namespace kestrum::win32
