#include "ui/win32/form1_window.h"

#include <array>
#include <string>
#include <utility>

#include "winsys/win32/win32_text.h"
#include "winsys/win32/window_class.h"
#include "winsys/win32/win32_window_system.h"

namespace kestrum::win32 {
namespace {

constexpr wchar_t kClassName[] = L"KestrumForm1";
constexpr wchar_t kCaption[] = L"KestrumSize";
// Posted when Text1 gains focus, so that its handler runs after a click has
// placed the caret (which would undo a selection made any earlier).
constexpr UINT kText1GotFocusMessage = WM_APP + 1;

constexpr DWORD kFormStyle = WS_OVERLAPPED | WS_CAPTION | WS_SYSMENU | WS_MINIMIZEBOX;
constexpr int kClientWidthTwips = 8100;
constexpr int kClientHeightTwips = 1530;
constexpr int kTwipsPerInch = 1440;

struct ControlLayout {
    int id;
    const wchar_t* className;
    const wchar_t* caption;
    DWORD style;
    DWORD exStyle;
    int left, top, width, height;  // twips, in the client area
};

// In creation order, which is the z-order, and so the tab order of those
// that take focus: list, button, field. The label takes no focus; it comes
// just before the field, as a screen reader names a field after the static
// before it. It is never wrapped: where the system font needs more room than
// its box, the box grows (FitLabelToItsText). The form's other two lists
// hold no entries a user sees, and have no control.
constexpr std::array<ControlLayout, 4> kControls{{
    {kList1Id, L"LISTBOX", L"", WS_CHILD | WS_VSCROLL | LBS_NOTIFY | LBS_NOINTEGRALHEIGHT | WS_VISIBLE | WS_TABSTOP,
     WS_EX_CLIENTEDGE, 120, 120, 7935, 840},
    {kCommand2Id, L"BUTTON", L"Kestrum", WS_CHILD | WS_VISIBLE | WS_TABSTOP | BS_PUSHBUTTON, 0,
     3960, 1080, 4095, 375},
    {kLabel1Id, L"STATIC", L"new size:", WS_CHILD | WS_VISIBLE | SS_LEFTNOWORDWRAP, 0,
     120, 1200, 735, 255},
    {kText1Id, L"EDIT", L"", WS_CHILD | WS_VISIBLE | WS_TABSTOP | ES_LEFT | ES_AUTOHSCROLL,
     WS_EX_CLIENTEDGE, 960, 1170, 855, 285},
}};

// Twips to pixels at the resolution the system reports for each axis.
struct Scale {
    int dpiX = 96;
    int dpiY = 96;
    int X(int twips) const { return MulDiv(twips, dpiX, kTwipsPerInch); }
    int Y(int twips) const { return MulDiv(twips, dpiY, kTwipsPerInch); }
};

Scale ScreenScale() {
    Scale scale;
    const WindowDc screen;
    if (screen.Get() != nullptr) {
        if (const int x = GetDeviceCaps(screen.Get(), LOGPIXELSX); x > 0) scale.dpiX = x;
        if (const int y = GetDeviceCaps(screen.Get(), LOGPIXELSY); y > 0) scale.dpiY = y;
    }
    return scale;
}

// A control's rectangle in its parent's client area.
RECT ControlRect(HWND control) {
    RECT rect{};
    GetWindowRect(control, &rect);
    MapWindowPoints(nullptr, GetParent(control), reinterpret_cast<POINT*>(&rect), 2);
    return rect;
}

// A label too narrow for its text in its font (the system's, at the
// system's resolution) grows to fit it, and the field it names moves right
// by as much; where the text fits, both keep their places.
void FitLabelToItsText(HWND label, HWND field, HFONT font) {
    const std::wstring text = Utf8ToWide(TextOf(label));
    const WindowDc dc(label);
    const SelectedObject selected(dc.Get(), font);
    SIZE size{};
    if (!GetTextExtentPoint32W(dc.Get(), text.c_str(), static_cast<int>(text.size()), &size)) return;
    const RECT labelPlace = ControlRect(label);
    const int grow = size.cx - (labelPlace.right - labelPlace.left);
    if (grow <= 0) return;
    SetWindowPos(label, nullptr, 0, 0, size.cx, labelPlace.bottom - labelPlace.top,
                 SWP_NOMOVE | SWP_NOZORDER | SWP_NOACTIVATE);
    const RECT fieldPlace = ControlRect(field);
    SetWindowPos(field, nullptr, fieldPlace.left + grow, fieldPlace.top, 0, 0,
                 SWP_NOSIZE | SWP_NOZORDER | SWP_NOACTIVATE);
}

}  // namespace

Form1Window::Form1Window(Form1& form, HINSTANCE instance) : form_(form) {
    if (!Create(instance)) return;
    form_.SetView(this);
    ShowClients();
    ShowText1();
    if (form_.Visible) ShowWindow(Handle(), SW_SHOW);
}

Form1Window::~Form1Window() {
    closing_ = true;
    form_.SetView(nullptr);
    window_.Reset();
}

bool Form1Window::Create(HINSTANCE instance) {
    WNDCLASSEXW windowClass{};
    windowClass.cbSize = sizeof windowClass;
    windowClass.lpfnWndProc = WindowProc;
    windowClass.hInstance = instance;
    windowClass.hCursor = LoadCursorW(nullptr, reinterpret_cast<LPCWSTR>(IDC_ARROW));
    // The exe's own icon (resource 1 of src/app/kestrum.rc) at both sizes; the
    // system's where the module has none.
    windowClass.hIcon = LoadIconW(instance, MAKEINTRESOURCEW(1));
    windowClass.hIconSm = static_cast<HICON>(LoadImageW(instance, MAKEINTRESOURCEW(1), IMAGE_ICON,
        GetSystemMetrics(SM_CXSMICON), GetSystemMetrics(SM_CYSMICON), LR_DEFAULTCOLOR));
    if (windowClass.hIcon == nullptr) {
        windowClass.hIcon = LoadIconW(nullptr, reinterpret_cast<LPCWSTR>(IDI_APPLICATION));
    }
    windowClass.hbrBackground = reinterpret_cast<HBRUSH>(COLOR_BTNFACE + 1);
    windowClass.lpszClassName = kClassName;
    if (!RegisterWindowClass(windowClass)) return false;

    const Scale scale = ScreenScale();
    RECT frame{0, 0, scale.X(kClientWidthTwips), scale.Y(kClientHeightTwips)};
    AdjustWindowRect(&frame, kFormStyle, FALSE);
    // Never WS_VISIBLE: it shows once it is filled.
    CreateWindowExW(0, kClassName, kCaption, kFormStyle, CW_USEDEFAULT, CW_USEDEFAULT,
                    frame.right - frame.left, frame.bottom - frame.top, nullptr, nullptr, instance,
                    this);
    return Handle() != nullptr;
}

void Form1Window::ShowClients() {
    const HWND list = Control(kList1Id);
    if (list == nullptr) return;
    const WindowList& clients = form_.List1(0);
    if (clients.Entries() != shownClients_) {
        SendMessageW(list, LB_RESETCONTENT, 0, 0);
        for (const WindowList::Entry& entry : clients.Entries()) {
            const LRESULT at = SendMessageW(list, LB_ADDSTRING, 0,
                                            reinterpret_cast<LPARAM>(Utf8ToWide(entry.text).c_str()));
            if (at >= 0) SendMessageW(list, LB_SETITEMDATA, static_cast<WPARAM>(at), entry.value);
        }
        shownClients_ = clients.Entries();
    }
    // LB_SETCURSEL raises no LBN_SELCHANGE; -1 clears the selection.
    if (SendMessageW(list, LB_GETCURSEL, 0, 0) != clients.SelectedIndex()) {
        SendMessageW(list, LB_SETCURSEL, static_cast<WPARAM>(clients.SelectedIndex()), 0);
    }
}

void Form1Window::ShowText1() {
    if (const HWND text1 = Control(kText1Id); text1 != nullptr) {
        SetWindowTextW(text1, Utf8ToWide(form_.Text1).c_str());
    }
}

void Form1Window::SelectAllText1() { SendMessageW(Control(kText1Id), EM_SETSEL, 0, -1); }

void Form1Window::FocusFirstControl() {
    if (const HWND first = Control(kList1Id); first != nullptr) SetFocus(first);
}

void Form1Window::RethrowFailure() const {
    if (failure_) std::rethrow_exception(failure_);
}

void Form1Window::StopOnFailure(std::exception_ptr failure) {
    if (failure_) return;  // the first one counts; the loop is ending already
    failure_ = std::move(failure);
    PostQuitMessage(kExitInternalFailure);
}

LRESULT CALLBACK Form1Window::WindowProc(HWND window, UINT message, WPARAM wParam,
                                         LPARAM lParam) {
    auto* self = reinterpret_cast<Form1Window*>(GetWindowLongPtrW(window, GWLP_USERDATA));
    if (message == WM_NCCREATE) {
        self = static_cast<Form1Window*>(reinterpret_cast<CREATESTRUCTW*>(lParam)->lpCreateParams);
        SetWindowLongPtrW(window, GWLP_USERDATA, reinterpret_cast<LONG_PTR>(self));
        self->window_.Reset(window);
    }
    if (self == nullptr) return DefWindowProcW(window, message, wParam, lParam);
    try {
        return self->HandleMessage(window, message, wParam, lParam);
    } catch (...) {
        self->StopOnFailure(std::current_exception());
        // A window that failed while being made is not made at all.
        return message == WM_CREATE ? -1 : DefWindowProcW(window, message, wParam, lParam);
    }
}

LRESULT CALLBACK Form1Window::Text1Proc(HWND edit, UINT message, WPARAM wParam, LPARAM lParam) {
    // Set before this procedure was, and cleared only after it was taken back.
    auto* self = reinterpret_cast<Form1Window*>(GetWindowLongPtrW(edit, GWLP_USERDATA));
    if (self == nullptr) return DefWindowProcW(edit, message, wParam, lParam);
    try {
        return self->HandleText1Message(edit, message, wParam, lParam);
    } catch (...) {
        self->StopOnFailure(std::current_exception());
        // The field still gets the message, so that it stays in order (its
        // caret goes with the focus) until the window closes.
        if (self->text1Proc_ == nullptr) return DefWindowProcW(edit, message, wParam, lParam);
        return CallWindowProcW(self->text1Proc_, edit, message, wParam, lParam);
    }
}

LRESULT Form1Window::HandleMessage(HWND window, UINT message, WPARAM wParam, LPARAM lParam) {
    switch (message) {
        case WM_CREATE:
            return OnCreate(window) ? 0 : -1;
        case WM_COMMAND:
            OnCommand(LOWORD(wParam), HIWORD(wParam));
            return 0;
        case WM_ACTIVATE:
            OnActivate(window, wParam);
            return 0;
        case kText1GotFocusMessage:
            OnText1GotFocus();
            return 0;
        case WM_DESTROY:
            // What waits (a width, a window's state) is dropped: the run
            // ends at once, and nothing is said after the window is gone.
            closing_ = true;
            form_.Form_Unload();
            PostQuitMessage(0);
            return 0;
        case WM_NCDESTROY:
            OnNcDestroy(window);
            break;
        default:
            break;
    }
    return DefWindowProcW(window, message, wParam, lParam);
}

LRESULT Form1Window::HandleText1Message(HWND edit, UINT message, WPARAM wParam, LPARAM lParam) {
    switch (message) {
        case WM_SETFOCUS: {
            const LRESULT result = CallWindowProcW(text1Proc_, edit, message, wParam, lParam);
            PostMessageW(GetParent(edit), kText1GotFocusMessage, 0, 0);
            return result;
        }
        case WM_KILLFOCUS:
            OnText1KillFocus(edit, reinterpret_cast<HWND>(wParam));
            break;
        case WM_NCDESTROY: {
            // The field's last message: give it its own procedure back first.
            const WNDPROC own = std::exchange(text1Proc_, nullptr);
            SetWindowLongPtrW(edit, GWLP_WNDPROC, reinterpret_cast<LONG_PTR>(own));
            SetWindowLongPtrW(edit, GWLP_USERDATA, 0);
            return CallWindowProcW(own, edit, message, wParam, lParam);
        }
        default:
            break;
    }
    return CallWindowProcW(text1Proc_, edit, message, wParam, lParam);
}

bool Form1Window::OnCreate(HWND window) {
    const HINSTANCE instance = reinterpret_cast<HINSTANCE>(GetWindowLongPtrW(window, GWLP_HINSTANCE));
    const Scale scale = ScreenScale();
    // The stock GUI font is the system's; it is shared and never deleted.
    const auto font = reinterpret_cast<WPARAM>(GetStockObject(DEFAULT_GUI_FONT));
    for (const ControlLayout& spec : kControls) {
        const HWND control = CreateWindowExW(
            spec.exStyle, spec.className, spec.caption, spec.style, scale.X(spec.left),
            scale.Y(spec.top), scale.X(spec.width), scale.Y(spec.height), window,
            reinterpret_cast<HMENU>(static_cast<INT_PTR>(spec.id)), instance, nullptr);
        if (control == nullptr) return false;  // the controls go with the window
        SendMessageW(control, WM_SETFONT, font, FALSE);
    }
    FitLabelToItsText(GetDlgItem(window, kLabel1Id), GetDlgItem(window, kText1Id), reinterpret_cast<HFONT>(font));
    // The field's focus changes are Form1's events: its procedure goes
    // through Text1Proc first. The common controls' subclassing would do the
    // same at the price of loading comctl32.dll at every start.
    const HWND text1 = GetDlgItem(window, kText1Id);
    SetWindowLongPtrW(text1, GWLP_USERDATA, reinterpret_cast<LONG_PTR>(this));
    text1Proc_ = reinterpret_cast<WNDPROC>(
        SetWindowLongPtrW(text1, GWLP_WNDPROC, reinterpret_cast<LONG_PTR>(&Text1Proc)));
    return text1Proc_ != nullptr;
}

template <typename Handler>
void Form1Window::Dispatch(Handler handler) {
    if (!HandlersMayRun()) return;
    busy_ = true;
    struct Done {
        bool& busy;
        ~Done() { busy = false; }
    } done{busy_};
    handler();
}

void Form1Window::OnCommand(int id, int code) {
    if (id == kText1Id && code == EN_CHANGE) {
        // The field's text is the form's: what the user types goes there.
        form_.Text1 = TextOf(Control(kText1Id));
        return;
    }
    if (id == kList1Id && code == LBN_SELCHANGE) {
        const LRESULT selected = SendMessageW(Control(kList1Id), LB_GETCURSEL, 0, 0);
        Dispatch([&] {
            form_.List1(0).SetSelectedIndex(selected >= 0 && selected < kMaxListEntries
                                                 ? static_cast<ListIndex>(selected)
                                                 : kNoEntry);
        });
        // A selection the form did not take is taken back.
        ShowClients();
    } else if (id == kList1Id && code == LBN_DBLCLK) {
        Dispatch([&] { form_.List1_DblClick(0); });
    } else if (id == kCommand2Id && code == BN_CLICKED) {
        Dispatch([&] { form_.Command2_Click(); });
    }
    // Anything else, IDOK and IDCANCEL from Enter and Escape included, is
    // not an event of this window.
}

void Form1Window::OnActivate(HWND window, WPARAM wParam) {
    // A plain window does not remember its focused control the way a dialog
    // does: keep it across deactivation so the keyboard goes on working.
    if (LOWORD(wParam) == WA_INACTIVE) {
        const HWND focus = GetFocus();
        if (focus != nullptr && IsChild(window, focus)) lastFocus_ = focus;
        return;
    }
    if (HIWORD(wParam) != 0) return;  // activated while minimised
    if (lastFocus_ != nullptr && IsWindow(lastFocus_) && IsChild(window, lastFocus_)) {
        SetFocus(lastFocus_);
    } else {
        FocusFirstControl();
    }
}

void Form1Window::OnText1GotFocus() {
    // Focus may have moved on before the posted event came round.
    if (GetFocus() == Control(kText1Id)) Dispatch([&] { form_.Text1_GotFocus(); });
}

void Form1Window::OnText1KillFocus(HWND edit, HWND gaining) {
    // Only a move to another control of this window validates; switching to
    // another application or closing the window does not.
    if (gaining == nullptr || !IsChild(GetParent(edit), gaining)) return;
    bool cancel = false;
    Dispatch([&] { form_.Text1_Validate(cancel); });
}

void Form1Window::OnNcDestroy(HWND window) {
    SetWindowLongPtrW(window, GWLP_USERDATA, 0);
    // The window is gone: nothing is left to destroy, and the form has no
    // view any more.
    window_.Release();
    form_.SetView(nullptr);
}

}  // namespace kestrum::win32
