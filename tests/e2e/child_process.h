// A program the end-to-end tests start: kestrum.exe or the stand-in client.
#pragma once

#include <windows.h>

#include <string>

#include "e2e_common.h"

namespace e2e {

// One argument of a command line, in quotes.
inline std::wstring Quoted(const std::wstring& arg) {
    std::wstring out = L"\"";
    for (wchar_t c : arg) {
        if (c == L'"') out += L'\\';
        out += c;
    }
    return out + L"\"";
}

// A started process; ended by force if it is still running when dropped.
class ChildProcess {
public:
    ChildProcess() = default;
    ChildProcess(const ChildProcess&) = delete;
    ChildProcess& operator=(const ChildProcess&) = delete;
    ~ChildProcess() {
        if (Running()) {
            TerminateProcess(handle_.Get(), 99);
            WaitExit(5000);
        }
    }

    // Starts `commandLine`; `suspended` holds its first thread until Resume().
    // With `in`, the child's standard input is `in` and its output and error
    // `out`.
    bool Start(const std::wstring& commandLine, bool suspended, HANDLE in = nullptr,
               HANDLE out = nullptr) {
        STARTUPINFOW si{};
        si.cb = sizeof si;
        if (in) {
            si.dwFlags = STARTF_USESTDHANDLES;
            si.hStdInput = in;
            si.hStdOutput = out;
            si.hStdError = out;
        }
        std::wstring line = commandLine;
        PROCESS_INFORMATION pi{};
        if (!CreateProcessW(nullptr, line.data(), nullptr, nullptr, in != nullptr,
                            suspended ? CREATE_SUSPENDED : 0, nullptr, nullptr, &si, &pi))
            return false;
        handle_ = UniqueHandle(pi.hProcess);
        thread_ = UniqueHandle(pi.hThread);
        pid_ = pi.dwProcessId;
        return true;
    }
    void Resume() const {
        if (thread_) ResumeThread(thread_.Get());
    }

    HANDLE handle() const { return handle_.Get(); }
    DWORD pid() const { return pid_; }
    bool Running() const { return handle_ && WaitForSingleObject(handle_.Get(), 0) == WAIT_TIMEOUT; }
    // True once the process has ended (or was never started).
    bool WaitExit(DWORD ms) const {
        return !handle_ || WaitForSingleObject(handle_.Get(), ms) == WAIT_OBJECT_0;
    }
    long ExitStatus() const {
        DWORD code = STILL_ACTIVE;
        if (handle_) GetExitCodeProcess(handle_.Get(), &code);
        return static_cast<long>(code);
    }

private:
    UniqueHandle handle_;
    UniqueHandle thread_;
    DWORD pid_ = 0;
};

}  // namespace e2e
