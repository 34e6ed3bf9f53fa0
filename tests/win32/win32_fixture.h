// Real windows for the Windows layer's tests: a client main window of class
// "C/SIDE Application" holding panes of class "C/SIDE NavPane", made in this
// process. Every test that needs windows skips when none can be made (no
// display).
#pragma once

#include <windows.h>

#include <gtest/gtest.h>

#include <optional>
#include <string>
#include <string_view>
#include <vector>

#include "ui/form1.h"

#include "winsys/win32/win32_handles.h"

namespace kestrum::win32::testing {

// What the panes' own procedure sees: listing a pane reads its text once.
// The pane named in vanishOnTextRead destroys itself as its text is read, as
// a client closing it just then would: it is listed, and gone by the reset.
struct PaneEvents {
    int textReads = 0;
    HWND vanishOnTextRead = nullptr;
};
inline PaneEvents g_paneEvents;

inline LRESULT CALLBACK PaneProc(HWND pane, UINT message, WPARAM wParam, LPARAM lParam) {
    if (message == WM_GETTEXT) {
        ++g_paneEvents.textReads;
        if (pane == g_paneEvents.vanishOnTextRead) {
            g_paneEvents.vanishOnTextRead = nullptr;
            DestroyWindow(pane);
            return 0;
        }
    }
    return DefWindowProcW(pane, message, wParam, lParam);
}

inline bool RegisterTestClass(const wchar_t* name, WNDPROC procedure = DefWindowProcW) {
    WNDCLASSEXW windowClass{};
    windowClass.cbSize = sizeof windowClass;
    windowClass.lpfnWndProc = procedure;
    windowClass.hInstance = GetModuleHandleW(nullptr);
    windowClass.lpszClassName = name;
    return RegisterClassExW(&windowClass) != 0 || GetLastError() == ERROR_CLASS_ALREADY_EXISTS;
}

inline HWND MakeWindow(const wchar_t* className, const std::wstring& title, HWND parent,
                       RECT place, DWORD style, DWORD exStyle = 0) {
    return CreateWindowExW(exStyle, className, title.c_str(), style, place.left, place.top,
                           place.right - place.left, place.bottom - place.top, parent, nullptr,
                           GetModuleHandleW(nullptr), nullptr);
}

// Handles every message queued for this thread.
inline void Pump() {
    MSG message;
    while (PeekMessageW(&message, nullptr, 0, 0, PM_REMOVE)) {
        TranslateMessage(&message);
        DispatchMessageW(&message);
    }
}

// Handles this thread's messages until `done` holds, two seconds at most.
template <typename Done>
bool PumpUntil(Done done) {
    const ULONGLONG end = GetTickCount64() + 2000;
    while (!done() && GetTickCount64() < end) {
        MsgWaitForMultipleObjects(0, nullptr, FALSE, 10, QS_ALLINPUT);
        Pump();
    }
    return done();
}

// Start-up on the plan for `arguments`, run to its end with this thread's
// messages handled meanwhile; `plan` is the one the form was made with.
inline std::optional<StartOutcome> LoadAndWait(Form1& form, StartPlan& plan, std::string_view arguments) {
    std::optional<StartOutcome> ended;
    form.StartUpEnded = [&ended](StartOutcome outcome) { ended = outcome; };
    plan = PlanStart(arguments, nullptr, true);
    form.Form_Load();
    PumpUntil([&] { return ended.has_value(); });
    form.StartUpEnded = nullptr;
    return ended;
}

// A client main window at (100,100), 600 x 400, with a plain child "frame"
// at (5,5) in it, and panes in the frame at (10, 20 + 150 i), 100 high. A
// mirrored client is laid out right to left, and its frame with it: its
// children's x counts from the right.
struct TestClient {
    UniqueWindow main;
    HWND frame = nullptr;
    std::vector<HWND> panes;

    TestClient(const std::wstring& title, const std::vector<int>& paneWidths, bool visible = false,
               bool mirrored = false) {
        if (!RegisterTestClass(L"C/SIDE Application") || !RegisterTestClass(L"C/SIDE NavPane", PaneProc) ||
            !RegisterTestClass(L"KestrumTestFrame")) {
            return;
        }
        main.Reset(MakeWindow(L"C/SIDE Application", title, nullptr, {100, 100, 700, 500},
                              WS_OVERLAPPEDWINDOW | (visible ? WS_VISIBLE : 0),
                              mirrored ? WS_EX_LAYOUTRTL : 0));
        if (main.Get() == nullptr) return;
        frame = MakeWindow(L"KestrumTestFrame", L"", main.Get(), {5, 5, 505, 355},
                           WS_CHILD | WS_VISIBLE | WS_BORDER);
        for (std::size_t i = 0; i < paneWidths.size(); ++i) {
            const int top = 20 + 150 * static_cast<int>(i);
            panes.push_back(MakeWindow(L"C/SIDE NavPane", L"", frame,
                                       {10, top, 10 + paneWidths[i], top + 100},
                                       WS_CHILD | WS_VISIBLE));
        }
    }
    bool Made() const {
        if (main.Get() == nullptr || frame == nullptr) return false;
        for (const HWND pane : panes) {
            if (pane == nullptr) return false;
        }
        return true;
    }
};

#define KESTRUM_REQUIRE_WINDOWS(client) \
    if (!(client).Made()) GTEST_SKIP() << "no windows can be made here (no display?)"

}  // namespace kestrum::win32::testing
