// The main window's Win32 side: creates the window and its controls when the
// form asks for them, and turns their notifications into Form1's handlers.
// It holds no logic of its own beyond that translation.
#pragma once

#include <windows.h>

#include <exception>
#include <memory>

#include "ui/deferred_form_surface.h"
#include "ui/form1.h"
#include "ui/win32/win32_form_surface.h"
#include "ui/win32/win32_handles.h"
#include "winsys/win32_window_system.h"

namespace kestrum::win32 {

// Control ids. IDOK and IDCANCEL (1 and 2) are kept free: the dialog
// navigation sends them for Enter and Escape, and neither must press a button.
inline constexpr int kList1Id = 101;  // List1(i) is kList1Id + i
inline constexpr int kCommand2Id = 201;
inline constexpr int kText1Id = 301;
inline constexpr int kLabel1Id = 401;

class Form1Window {
public:
    // Form1 exists from here on, the window only once Form1 shows it.
    Form1Window(WindowSystem& system, MessageBoxes& boxes, HINSTANCE instance);
    Form1Window(const Form1Window&) = delete;
    Form1Window& operator=(const Form1Window&) = delete;

    HWND Handle() const { return hwnd_; }
    HWND Control(int id) const { return Handle() == nullptr ? nullptr : GetDlgItem(Handle(), id); }
    Form1& Form() { return form_; }

    // Puts focus on the first control in tab order, List1(0).
    void FocusFirstControl();

    // Runs the thread's message loop until the window closes, or until a
    // failure inside one of its procedures ends it; that failure is then
    // thrown from here.
    void RunMessageLoop();
    // Throws the first failure carried out of a window procedure, if any.
    void RethrowFailure() const;

private:
    // Creates the window, hidden, with its controls and their surface; true
    // at once when it exists, false when it could not be made.
    bool Create();

    static LRESULT CALLBACK WindowProc(HWND window, UINT message, WPARAM wParam, LPARAM lParam);
    static LRESULT CALLBACK Text1Proc(HWND edit, UINT message, WPARAM wParam, LPARAM lParam);

    LRESULT HandleMessage(UINT message, WPARAM wParam, LPARAM lParam);
    LRESULT HandleText1Message(HWND edit, UINT message, WPARAM wParam, LPARAM lParam);

    bool OnCreate();
    void OnCommand(int id, int code);
    void OnActivate(WPARAM wParam);
    void OnText1GotFocus();
    void OnText1KillFocus(HWND gaining);
    void OnNcDestroy();
    // Keeps the first failure caught in a procedure and ends the message
    // loop: no exception may unwind through user32.
    void CarryOut(std::exception_ptr failure);

    HINSTANCE instance_;
    // The form, in memory until the window exists; then the window's controls.
    DeferredFormSurface surface_;
    std::unique_ptr<Win32FormSurface> controls_;
    Form1 form_;
    UniqueWindow window_;
    // The window's own handle from WM_NCCREATE to WM_NCDESTROY, also while
    // window_ is destroying it.
    HWND hwnd_ = nullptr;
    HWND lastFocus_ = nullptr;
    // Text1's own window procedure, called by Text1Proc, from the subclassing
    // to the field's WM_NCDESTROY.
    WNDPROC text1Proc_ = nullptr;
    bool closing_ = false;
    std::exception_ptr failure_;
};

}  // namespace kestrum::win32
