// A command of the host's own (Linux) run from a road under Wine, through
// /bin/sh: its output and error go to a file, which ends with "exit status
// N" (Wine's handle of a host process never tells that it ended).
#pragma once

#include <windows.h>

#include <fstream>
#include <iterator>
#include <string>

#include "child_process.h"
#include "desktop.h"
#include "e2e_common.h"

namespace e2e {

// `script` run by the host's shell with `arguments` as $1...: its output and
// error, ending with "exit status N", or as much as came within `timeoutMs`.
inline std::string HostShell(const std::wstring& script, const std::wstring& arguments, DWORD timeoutMs = 20000) {
    wchar_t folder[MAX_PATH] = L"";
    wchar_t file[MAX_PATH] = L"";
    GetTempPathW(MAX_PATH, folder);
    GetTempFileNameW(folder, L"khs", 0, file);
    SECURITY_ATTRIBUTES inherit{sizeof inherit, nullptr, TRUE};
    UniqueHandle out(CreateFileW(file, GENERIC_WRITE, FILE_SHARE_READ | FILE_SHARE_WRITE, &inherit, CREATE_ALWAYS, 0,
                                 nullptr));
    STARTUPINFOW si{};
    si.cb = sizeof si;
    si.dwFlags = STARTF_USESTDHANDLES;
    si.hStdOutput = si.hStdError = out.Get();
    std::wstring line = L"/bin/sh -c " + Quoted(L"{ " + script + L"; } 2>&1; echo exit status $?") + L" sh " + arguments;
    PROCESS_INFORMATION pi{};
    CreateProcessW(nullptr, line.data(), nullptr, nullptr, TRUE, 0, nullptr, nullptr, &si, &pi);
    const UniqueHandle process(pi.hProcess), thread(pi.hThread);
    out.Reset();
    std::string output;
    WaitUntil(
        [&] {
            std::ifstream in(file, std::ios::binary);
            output.assign(std::istreambuf_iterator<char>(in), {});
            return output.find("exit status") != std::string::npos;
        },
        timeoutMs);
    DeleteFileW(file);
    return output;
}

}  // namespace e2e
