// kestrum.exe, started with any arguments and watched: its windows, its
// message boxes, its end.
#pragma once

#include <windows.h>

#include <gtest/gtest.h>

#include <string>

#include "child_process.h"
#include "desktop.h"
#include "programs.h"

namespace e2e {

inline constexpr wchar_t kMainCaption[] = L"KestrumSize";
inline constexpr wchar_t kBoxCaption[] = L"Kestrum";

class KestrumProcess {
public:
    // Starts kestrum.exe with `args` after its path, held until Resume(), so
    // that a test can watch from its first moment.
    bool Start(const std::wstring& args) {
        return process_.Start(Quoted(ProgramPaths().kestrum) + (args.empty() ? L"" : L" " + args),
                              true);
    }
    void Resume() const { process_.Resume(); }

    HANDLE handle() const { return process_.handle(); }
    bool Running() const { return process_.Running(); }
    // True once kestrum.exe has ended (or never started).
    bool WaitExit(DWORD ms) const { return process_.WaitExit(ms); }
    long ExitStatus() const { return process_.ExitStatus(); }

    // Its visible top-level window of class `cls` (empty: any) with that caption.
    HWND Find(const std::wstring& cls, const std::wstring& caption) const {
        for (HWND h : TopLevelWindows(process_.pid())) {
            wchar_t text[64] = L"";
            GetWindowTextW(h, text, 64);
            if (caption == text && (cls.empty() || ClassOf(h) == cls) && IsWindowVisible(h)) return h;
        }
        return nullptr;
    }
    HWND MainWindow() const { return Find(L"", kMainCaption); }
    HWND MessageBoxWindow() const { return Find(L"#32770", kBoxCaption); }

    HWND WaitForMainWindow(DWORD ms) const {
        HWND main = nullptr;
        WaitUntil([&] { return (main = MainWindow()) != nullptr; }, ms);
        return main;
    }
    HWND WaitForMessageBox(DWORD ms) const {
        HWND box = nullptr;
        WaitUntil([&] { return (box = MessageBoxWindow()) != nullptr; }, ms);
        return box;
    }

    // The window answers a message within 2 s.
    bool Responsive(HWND h) const {
        DWORD_PTR result = 0;
        return SendMessageTimeoutW(h, WM_NULL, 0, 0, SMTO_ABORTIFHUNG, 2000, &result) != 0;
    }

    // Lets Kestrum handle the input sent so far.
    void Settle() const {
        WaitForInputIdle(process_.handle(), 2000);
        Sleep(50);
        WaitForInputIdle(process_.handle(), 2000);
    }

    // Closes the window as its close box would and checks the end.
    void Close(HWND main) const {
        PostMessageW(main, WM_CLOSE, 0, 0);
        EXPECT_TRUE(WaitExit(10000)) << "Kestrum still running 10 s after its window was closed";
        EXPECT_EQ(ExitStatus(), 0L) << "exit status after closing the window";
    }

private:
    ChildProcess process_;
};

}  // namespace e2e
