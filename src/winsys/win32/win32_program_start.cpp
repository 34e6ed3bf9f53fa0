#include "winsys/win32/win32_program_start.h"

#include <utility>

#include "winsys/win32/win32_text.h"

namespace kestrum::win32 {
namespace {

// Windows's words for `error`, without their line end or last full stop,
// and its number.
std::string Reason(DWORD error) {
    wchar_t* text = nullptr;
    const DWORD length =
        FormatMessageW(FORMAT_MESSAGE_ALLOCATE_BUFFER | FORMAT_MESSAGE_FROM_SYSTEM | FORMAT_MESSAGE_IGNORE_INSERTS,
                       nullptr, error, 0, reinterpret_cast<wchar_t*>(&text), 0, nullptr);
    std::wstring words(text != nullptr ? text : L"", length);
    LocalFree(text);
    while (!words.empty() && (words.back() == L'\r' || words.back() == L'\n' || words.back() == L' ' ||
                              words.back() == L'.')) {
        words.pop_back();
    }
    const std::string number = "error " + std::to_string(error);
    return words.empty() ? number : WideToUtf8(words) + " (" + number + ")";
}

}  // namespace

StartedProgram StartProgram(const ProgramLine& line) {
    std::wstring commandLine = L"\"" + Utf8ToWide(line.program) + L"\"";
    if (!line.arguments.empty()) commandLine += L" " + Utf8ToWide(line.arguments);
    return StartCommandLine(std::move(commandLine));
}

StartedProgram StartCommandLine(std::wstring commandLine) {
    // Writable, as CreateProcessW wants it.
    STARTUPINFOW startup{};
    startup.cb = sizeof startup;
    PROCESS_INFORMATION started{};
    if (!CreateProcessW(nullptr, commandLine.data(), nullptr, nullptr, FALSE, 0, nullptr, nullptr, &startup,
                        &started)) {
        const DWORD error = GetLastError();
        return {UniqueHandle(), Reason(error)};
    }
    const UniqueHandle thread(started.hThread);
    return {UniqueHandle(started.hProcess), {}};
}

}  // namespace kestrum::win32
