// Where the programs under test are: kestrum.exe at the top of the build tree
// (build/<preset>/kestrum.exe, two folders above this program) and the
// stand-in client beside this program, unless named on the command line
// (--kestrum PATH, --client PATH) or in the environment (KESTRUM_E2E_KESTRUM,
// KESTRUM_E2E_CLIENT). A path may be written as Linux sees it (/work/...).
#pragma once

#include <windows.h>

#include <gtest/gtest.h>

#include <string>

#include "e2e_common.h"

namespace e2e {

struct Programs {
    std::wstring kestrum;
    std::wstring client;
};

// The paths in force, set once by main.
inline Programs& ProgramPaths() {
    static Programs paths;
    return paths;
}

// A path as Windows reads it: a Linux path is one on drive Z:.
inline std::wstring WindowsPath(std::wstring path) {
    if (!path.empty() && path[0] == L'/') path = L"Z:" + path;
    for (wchar_t& c : path) {
        if (c == L'/') c = L'\\';
    }
    wchar_t full[MAX_PATH * 2] = L"";
    const DWORD n = GetFullPathNameW(path.c_str(), MAX_PATH * 2, full, nullptr);
    return n > 0 && n < MAX_PATH * 2 ? std::wstring(full) : path;
}

inline std::wstring EnvironmentValue(const wchar_t* name) {
    wchar_t value[MAX_PATH * 2] = L"";
    const DWORD n = GetEnvironmentVariableW(name, value, MAX_PATH * 2);
    return n > 0 && n < MAX_PATH * 2 ? std::wstring(value) : std::wstring();
}

// Reads the paths from what InitGoogleTest left of the command line. Returns
// false, with the reason in `error`, for an option it does not know.
inline bool ReadProgramPaths(int argc, wchar_t** argv, Programs& out, std::string& error) {
    wchar_t self[MAX_PATH] = L"";
    GetModuleFileNameW(nullptr, self, MAX_PATH);
    std::wstring here = self;
    here = here.substr(0, here.find_last_of(L'\\') + 1);
    out.kestrum = EnvironmentValue(L"KESTRUM_E2E_KESTRUM");
    out.client = EnvironmentValue(L"KESTRUM_E2E_CLIENT");
    for (int i = 1; i < argc; ++i) {
        const std::wstring option = argv[i];
        if ((option == L"--kestrum" || option == L"--client") && i + 1 < argc) {
            (option == L"--kestrum" ? out.kestrum : out.client) = argv[++i];
        } else {
            error = "unknown option or missing value: " + Narrow(option) +
                    " (besides GoogleTest's own: --kestrum PATH, --client PATH)";
            return false;
        }
    }
    out.kestrum = WindowsPath(out.kestrum.empty() ? here + L"..\\..\\kestrum.exe" : out.kestrum);
    out.client = WindowsPath(out.client.empty() ? here + L"standin_client.exe" : out.client);
    return true;
}

inline ::testing::AssertionResult ProgramsFound() {
    const Programs& paths = ProgramPaths();
    for (const auto& [path, what] : {std::pair{paths.kestrum, "kestrum.exe (--kestrum PATH)"},
                                     std::pair{paths.client, "the stand-in client (--client PATH)"}}) {
        if (GetFileAttributesW(path.c_str()) == INVALID_FILE_ATTRIBUTES)
            return ::testing::AssertionFailure() << what << " not found at " << Narrow(path);
    }
    return ::testing::AssertionSuccess();
}

}  // namespace e2e
