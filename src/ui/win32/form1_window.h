// The main window over user32: a view of Form1. Made from the form's state
// once the form is to be seen, it shows List1(0) in its one list box and
// Text1 in its field, keeps them up to date when the form tells it, and turns
// the controls' notifications into Form1's handlers. It holds no logic of its
// own beyond that translation.
#pragma once

#include <windows.h>

#include <exception>
#include <vector>

#include "ui/form1.h"
#include "ui/form_view.h"
#include "winsys/win32/win32_handles.h"

namespace kestrum::win32 {

// Control ids. IDOK and IDCANCEL (1 and 2) are kept free: the dialog
// navigation sends them for Enter and Escape, and neither must press a button.
inline constexpr int kList1Id = 101;  // List1(0), the one list with a control
inline constexpr int kCommand2Id = 201;
inline constexpr int kText1Id = 301;
inline constexpr int kLabel1Id = 401;

class Form1Window final : public FormView {
public:
    // Makes the window and its controls, hidden, fills them from the form's
    // state and shows the window when the form is to be seen. Handle() is
    // null when the window could not be made.
    Form1Window(Form1& form, HINSTANCE instance);
    // The window goes first, while everything its procedures touch is still
    // here; no handler of the form runs on the way.
    ~Form1Window() override;
    Form1Window(const Form1Window&) = delete;
    Form1Window& operator=(const Form1Window&) = delete;

    HWND Handle() const { return window_.Get(); }
    HWND Control(int id) const { return Handle() == nullptr ? nullptr : GetDlgItem(Handle(), id); }

    // Puts focus on the first control in tab order, the list.
    void FocusFirstControl();

    // Throws the first failure carried out of a window procedure (which
    // ends the thread's message loop), if any.
    void RethrowFailure() const;

    void ShowClients() override;
    void ShowText1() override;
    void SelectAllText1() override;

private:
    bool Create(HINSTANCE instance);

    static LRESULT CALLBACK WindowProc(HWND window, UINT message, WPARAM wParam, LPARAM lParam);
    static LRESULT CALLBACK Text1Proc(HWND edit, UINT message, WPARAM wParam, LPARAM lParam);

    LRESULT HandleMessage(HWND window, UINT message, WPARAM wParam, LPARAM lParam);
    LRESULT HandleText1Message(HWND edit, UINT message, WPARAM wParam, LPARAM lParam);

    bool OnCreate(HWND window);
    void OnCommand(int id, int code);
    void OnActivate(HWND window, WPARAM wParam);
    void OnText1GotFocus();
    void OnText1KillFocus(HWND edit, HWND gaining);
    void OnNcDestroy(HWND window);
    // The form's handlers run only while the window is in use: not once it
    // is closing, nor after a failure has ended the loop, nor while a handler
    // runs (a message box it shows lets the window answer, but not start
    // another).
    bool HandlersMayRun() const { return !closing_ && !failure_ && !busy_; }
    template <typename Handler>
    void Dispatch(Handler handler);
    // Keeps the first failure caught in a procedure and ends the message
    // loop: no exception may unwind through user32.
    void StopOnFailure(std::exception_ptr failure);

    Form1& form_;
    // What the list box shows, to leave it alone when nothing changed.
    std::vector<WindowList::Entry> shownClients_;
    HWND lastFocus_ = nullptr;
    // Text1's own window procedure, called by Text1Proc, from the subclassing
    // to the field's WM_NCDESTROY.
    WNDPROC text1Proc_ = nullptr;
    bool closing_ = false;
    bool busy_ = false;
    std::exception_ptr failure_;
    UniqueWindow window_;
};

}  // namespace kestrum::win32
