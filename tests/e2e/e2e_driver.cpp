// The end-to-end driver: runs kestrum.exe against the stand-in client on a
// live desktop and checks what a user or a script would see: pane rectangles,
// enabled states, the list's text, message boxes, window visibility and exit
// statuses. Each road is a row of the tables at the bottom.
//
//   e2e_driver.exe --kestrum PATH [--client PATH] [--road TEXT]
//
//   --client  the stand-in client (default: standin_client.exe beside the driver)
//   --road    runs only the roads whose name contains TEXT
//
// Prints "PASS <road>" or "FAIL <road>: <what>: expected ..., seen ..." per
// road, then "N passed, N failed"; the exit status is 1 when any road failed.
#include <windows.h>

#include <cstdio>
#include <cstdlib>
#include <cwchar>
#include <functional>
#include <map>
#include <sstream>
#include <string>
#include <vector>

#include "e2e_common.h"

namespace {

using e2e::Narrow;
using e2e::UniqueHandle;

constexpr wchar_t kMainCaption[] = L"KestrumSize";
constexpr wchar_t kBoxCaption[] = L"Kestrum";
constexpr wchar_t kNoClient[] = L"no C/Side Application found";
constexpr wchar_t kNoPane[] = L"NavPane was not found";

// ---------------------------------------------------------------- checking

// One road's findings: every failed check with what was expected and seen.
struct Findings {
    std::vector<std::string> failures;
    std::vector<std::string> notes;

    bool Check(bool ok, const std::string& what, const std::string& expected,
               const std::string& seen) {
        if (!ok) failures.push_back(what + ": expected " + expected + ", seen " + seen);
        return ok;
    }
    template <typename T>
    bool Equal(const std::string& what, const T& expected, const T& seen) {
        std::ostringstream e, s;
        e << expected;
        s << seen;
        return Check(expected == seen, what, e.str(), s.str());
    }
};

// A text for a report, in quotes, with a backspace shown as <BS>.
std::string Quote(const std::wstring& text) {
    std::string out = Narrow(text);
    for (std::size_t at; (at = out.find('\b')) != std::string::npos;) out.replace(at, 1, "<BS>");
    return "\"" + out + "\"";
}

std::string RectText(const RECT& r) {
    std::ostringstream out;
    out << "(" << r.left << "," << r.top << ")-(" << r.right << "," << r.bottom << ")";
    return out.str();
}

double Seconds() {
    LARGE_INTEGER frequency, now;
    QueryPerformanceFrequency(&frequency);
    QueryPerformanceCounter(&now);
    return static_cast<double>(now.QuadPart) / static_cast<double>(frequency.QuadPart);
}

// Polls until done() holds or timeoutMs passes; returns done()'s last answer.
bool WaitUntil(const std::function<bool()>& done, DWORD timeoutMs) {
    const double deadline = Seconds() + timeoutMs / 1000.0;
    while (!done()) {
        if (Seconds() > deadline) return done();
        Sleep(10);
    }
    return true;
}

// ---------------------------------------------------------------- windows

std::wstring ClassOf(HWND h) {
    wchar_t name[256] = L"";
    GetClassNameW(h, name, 256);
    return name;
}

// The text a window holds, asked of the window itself (edit fields and
// statics of other processes keep theirs in the control), with a timeout.
std::wstring TextOf(HWND h) {
    DWORD_PTR length = 0;
    if (!SendMessageTimeoutW(h, WM_GETTEXTLENGTH, 0, 0, SMTO_ABORTIFHUNG, 2000, &length))
        return L"<no answer>";
    std::wstring text(length + 1, L'\0');
    DWORD_PTR copied = 0;
    SendMessageTimeoutW(h, WM_GETTEXT, text.size(), reinterpret_cast<LPARAM>(text.data()),
                        SMTO_ABORTIFHUNG, 2000, &copied);
    text.resize(copied);
    return text;
}

struct WindowSearch {
    DWORD pid;  // 0: every process
    std::vector<HWND> found;
};

BOOL CALLBACK CollectWindow(HWND h, LPARAM param) {
    auto& search = *reinterpret_cast<WindowSearch*>(param);
    DWORD owner = 0;
    GetWindowThreadProcessId(h, &owner);
    if (search.pid == 0 || owner == search.pid) search.found.push_back(h);
    return TRUE;
}

std::vector<HWND> TopLevelWindows(DWORD pid) {
    WindowSearch search{pid, {}};
    EnumWindows(CollectWindow, reinterpret_cast<LPARAM>(&search));
    return search.found;
}

std::vector<HWND> Children(HWND parent) {
    WindowSearch search{0, {}};
    EnumChildWindows(parent, CollectWindow, reinterpret_cast<LPARAM>(&search));
    return search.found;
}

// The first pane inside a main window, as the window manager reports them.
HWND FirstPane(HWND mainWindow) {
    for (HWND h : Children(mainWindow)) {
        if (ClassOf(h) == L"C/SIDE NavPane") return h;
    }
    return nullptr;
}

RECT RectOf(HWND h) {
    RECT r{};
    GetWindowRect(h, &r);
    return r;
}

std::vector<HWND> ClientWindowsOnDesktop() {
    std::vector<HWND> found;
    for (HWND h : TopLevelWindows(0)) {
        if (ClassOf(h) == L"C/SIDE Application") found.push_back(h);
    }
    return found;
}

// ---------------------------------------------------------------- input

void Send(std::vector<INPUT> inputs) {
    SendInput(static_cast<UINT>(inputs.size()), inputs.data(), sizeof(INPUT));
}

INPUT Mouse(DWORD flags, POINT at) {
    INPUT in{};
    in.type = INPUT_MOUSE;
    in.mi.dx = (at.x * 65536 + 32768) / GetSystemMetrics(SM_CXSCREEN);
    in.mi.dy = (at.y * 65536 + 32768) / GetSystemMetrics(SM_CYSCREEN);
    in.mi.dwFlags = flags | MOUSEEVENTF_ABSOLUTE;
    return in;
}

// Clicks `times` times in a row at one point (2: a double-click). A click
// soon after another near the same point would make a double-click the user
// did not mean: it waits until that can no longer happen.
void Click(POINT at, int times = 1) {
    static POINT lastAt{-1000, -1000};
    static double lastTime = 0;
    const double wait = lastTime + GetDoubleClickTime() / 1000.0 + 0.05 - Seconds();
    if (std::abs(at.x - lastAt.x) <= GetSystemMetrics(SM_CXDOUBLECLK) &&
        std::abs(at.y - lastAt.y) <= GetSystemMetrics(SM_CYDOUBLECLK) && wait > 0)
        Sleep(static_cast<DWORD>(wait * 1000));
    // The pointer first, alone: a button pressed in the same breath may still
    // land where the pointer was before. Every press carries the place too.
    SetCursorPos(at.x, at.y);
    Send({Mouse(MOUSEEVENTF_MOVE, at)});
    WaitUntil([&] {
        POINT now{};
        GetCursorPos(&now);
        return now.x == at.x && now.y == at.y;
    }, 2000);
    Sleep(30);
    std::vector<INPUT> inputs;
    for (int i = 0; i < times; ++i) {
        inputs.push_back(Mouse(MOUSEEVENTF_MOVE | MOUSEEVENTF_LEFTDOWN, at));
        inputs.push_back(Mouse(MOUSEEVENTF_MOVE | MOUSEEVENTF_LEFTUP, at));
    }
    Send(inputs);
    lastAt = at;
    lastTime = Seconds();
}

POINT CenterOf(HWND h) {
    const RECT r = RectOf(h);
    return POINT{(r.left + r.right) / 2, (r.top + r.bottom) / 2};
}

INPUT Key(WORD vk, bool up) {
    INPUT in{};
    in.type = INPUT_KEYBOARD;
    in.ki.wVk = vk;
    in.ki.dwFlags = up ? KEYEVENTF_KEYUP : 0;
    return in;
}

void PressKey(WORD vk) { Send({Key(vk, false), Key(vk, true)}); }

void Type(const std::wstring& text) {
    std::vector<INPUT> inputs;
    for (wchar_t c : text) {
        if (c == L'\b') {
            inputs.push_back(Key(VK_BACK, false));
            inputs.push_back(Key(VK_BACK, true));
            continue;
        }
        const SHORT scan = VkKeyScanW(c);
        const WORD vk = LOBYTE(scan);
        const bool shift = (HIBYTE(scan) & 1) != 0;
        if (shift) inputs.push_back(Key(VK_SHIFT, false));
        inputs.push_back(Key(vk, false));
        inputs.push_back(Key(vk, true));
        if (shift) inputs.push_back(Key(VK_SHIFT, true));
    }
    Send(inputs);
}

// ---------------------------------------------------------------- processes

std::wstring WindowsPath(std::wstring path) {
    if (!path.empty() && path[0] == L'/') path = L"Z:" + path;
    for (wchar_t& c : path) {
        if (c == L'/') c = L'\\';
    }
    return path;
}

std::wstring Quoted(const std::wstring& arg) {
    std::wstring out = L"\"";
    for (wchar_t c : arg) {
        if (c == L'"') out += L'\\';
        out += c;
    }
    return out + L"\"";
}

// A started process; ended by force if it is still running when dropped.
struct Process {
    UniqueHandle handle;
    UniqueHandle thread;
    DWORD pid = 0;

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
        handle = UniqueHandle(pi.hProcess);
        thread = UniqueHandle(pi.hThread);
        pid = pi.dwProcessId;
        return true;
    }
    bool Running() const { return handle && WaitForSingleObject(handle.get(), 0) == WAIT_TIMEOUT; }
    bool WaitExit(DWORD ms) const { return !handle || WaitForSingleObject(handle.get(), ms) == WAIT_OBJECT_0; }
    long ExitStatus() const {
        DWORD code = STILL_ACTIVE;
        if (handle) GetExitCodeProcess(handle.get(), &code);
        return static_cast<long>(code);
    }
    ~Process() {
        if (Running()) {
            TerminateProcess(handle.get(), 99);
            WaitExit(5000);
        }
    }
};

// The stand-in client, talked to through its standard input and output.
class Client {
public:
    std::vector<HWND> windows;
    std::vector<HWND> panes;

    bool Start(const std::wstring& exe, const std::vector<std::wstring>& options,
               std::string& error) {
        SECURITY_ATTRIBUTES inherit{sizeof inherit, nullptr, TRUE};
        UniqueHandle childIn, childOut;
        if (!CreatePipe(childIn.out(), in_.out(), &inherit, 0) ||
            !CreatePipe(out_.out(), childOut.out(), &inherit, 0)) {
            error = "pipes could not be made";
            return false;
        }
        SetHandleInformation(in_.get(), HANDLE_FLAG_INHERIT, 0);
        SetHandleInformation(out_.get(), HANDLE_FLAG_INHERIT, 0);
        std::wstring line = Quoted(exe);
        for (const std::wstring& o : options) line += L" " + Quoted(o);
        if (!process_.Start(line, false, childIn.get(), childOut.get())) {
            error = "the stand-in client did not start";
            return false;
        }
        std::string text;
        while (ReadLine(text, 15000)) {
            long long h = 0;
            if (std::sscanf(text.c_str(), "window %lld", &h) == 1) {
                windows.push_back(e2e::HandleFromValue(h));
            } else if (std::sscanf(text.c_str(), "pane %lld", &h) == 1) {
                panes.push_back(e2e::HandleFromValue(h));
            } else if (text == "ready") {
                return true;
            }
        }
        error = "the stand-in client did not report ready: " + text;
        return false;
    }

    bool Command(const std::string& command) {
        const std::string line = command + "\n";
        DWORD written = 0;
        return WriteFile(in_.get(), line.data(), static_cast<DWORD>(line.size()), &written, nullptr) != 0;
    }

    // Reads lines until one equals `wanted`; false after timeoutMs.
    bool Expect(const std::string& wanted, DWORD timeoutMs) {
        std::string line;
        while (ReadLine(line, timeoutMs)) {
            if (line == wanted) return true;
        }
        return false;
    }

    // Position changes asked of each pane since the client was ready.
    std::map<HWND, long> Moves() {
        std::map<HWND, long> moves;
        if (!Command("report")) return moves;
        std::string line;
        while (ReadLine(line, 5000) && line != "end") {
            long long h = 0;
            long n = 0;
            if (std::sscanf(line.c_str(), "pane %lld screen %*d %*d %*d %*d client %*d %*d %*d %*d moves %ld",
                            &h, &n) == 2)
                moves[e2e::HandleFromValue(h)] = n;
        }
        return moves;
    }

    bool Quit() {
        Command("quit");
        return process_.WaitExit(10000);
    }
    ~Client() {
        if (process_.Running()) Quit();
    }

private:
    bool ReadLine(std::string& line, DWORD timeoutMs) {
        const double deadline = Seconds() + timeoutMs / 1000.0;
        for (;;) {
            const std::size_t end = buffer_.find('\n');
            if (end != std::string::npos) {
                line = buffer_.substr(0, end);
                if (!line.empty() && line.back() == '\r') line.pop_back();
                buffer_.erase(0, end + 1);
                return true;
            }
            DWORD available = 0;
            if (!PeekNamedPipe(out_.get(), nullptr, 0, nullptr, &available, nullptr)) return false;
            if (available > 0) {
                std::string chunk(available, '\0');
                DWORD got = 0;
                if (!ReadFile(out_.get(), chunk.data(), available, &got, nullptr)) return false;
                buffer_.append(chunk, 0, got);
            } else if (Seconds() > deadline) {
                return false;
            } else {
                Sleep(5);
            }
        }
    }

    Process process_;
    UniqueHandle in_, out_;
    std::string buffer_;
};

// kestrum.exe, started and watched.
class Kestrum {
public:
    Process process;

    bool Start(const std::wstring& exe, const std::wstring& args) {
        return process.Start(Quoted(exe) + (args.empty() ? L"" : L" " + args), true);
    }
    void Resume() { ResumeThread(process.thread.get()); }

    HWND MainWindow() const { return Find(L"", kMainCaption); }
    HWND MessageBox() const { return Find(L"#32770", kBoxCaption); }

    HWND Find(const std::wstring& cls, const std::wstring& caption) const {
        for (HWND h : TopLevelWindows(process.pid)) {
            wchar_t text[64] = L"";
            GetWindowTextW(h, text, 64);
            if (caption == text && (cls.empty() || ClassOf(h) == cls) && IsWindowVisible(h)) return h;
        }
        return nullptr;
    }

    bool Responsive(HWND h) const {
        DWORD_PTR result = 0;
        return SendMessageTimeoutW(h, WM_NULL, 0, 0, SMTO_ABORTIFHUNG, 2000, &result) != 0;
    }

    // Lets Kestrum handle the input sent so far.
    void Settle() const {
        WaitForInputIdle(process.handle.get(), 2000);
        Sleep(50);
        WaitForInputIdle(process.handle.get(), 2000);
    }

    // Closes the window as its close box would and checks the end.
    void Close(HWND main, Findings& f) const {
        PostMessageW(main, WM_CLOSE, 0, 0);
        f.Check(process.WaitExit(10000), "Kestrum ends after its window is closed", "an end",
                "still running after 10 s");
        f.Equal("exit status after closing the window", 0L, process.ExitStatus());
    }
};

// The main window's controls, found by kind.
struct Controls {
    HWND list = nullptr;  // the one visible list box
    HWND button = nullptr;
    HWND field = nullptr;
    HWND labelWindow = nullptr;  // the visible static
    std::wstring label;  // its text
    int visibleLists = 0;

    explicit Controls(HWND main) {
        for (HWND h : Children(main)) {
            const std::wstring cls = ClassOf(h);
            if (_wcsicmp(cls.c_str(), L"ListBox") == 0) {
                if (IsWindowVisible(h)) {
                    ++visibleLists;
                    list = h;
                }
            } else if (_wcsicmp(cls.c_str(), L"Button") == 0 && TextOf(h) == L"Kestrum") {
                button = h;
            } else if (_wcsicmp(cls.c_str(), L"Edit") == 0) {
                field = h;
            } else if (_wcsicmp(cls.c_str(), L"Static") == 0 && IsWindowVisible(h)) {
                labelWindow = h;
                label = TextOf(h);
            }
        }
    }
    bool Complete() const { return list && button && field; }

    std::vector<std::wstring> Entries() const { return EntriesOf(list); }
    // The item values of a list box's entries: window handles.
    static std::vector<HWND> ValuesOf(HWND box) {
        std::vector<HWND> values;
        DWORD_PTR count = 0;
        SendMessageTimeoutW(box, LB_GETCOUNT, 0, 0, SMTO_ABORTIFHUNG, 2000, &count);
        for (DWORD_PTR i = 0; i < count; ++i) {
            DWORD_PTR value = 0;
            SendMessageTimeoutW(box, LB_GETITEMDATA, i, 0, SMTO_ABORTIFHUNG, 2000, &value);
            values.push_back(e2e::HandleFromValue(static_cast<std::int32_t>(value)));
        }
        return values;
    }
    static std::vector<std::wstring> EntriesOf(HWND list) {
        std::vector<std::wstring> entries;
        DWORD_PTR count = 0;
        SendMessageTimeoutW(list, LB_GETCOUNT, 0, 0, SMTO_ABORTIFHUNG, 2000, &count);
        for (DWORD_PTR i = 0; i < count; ++i) {
            DWORD_PTR length = 0;
            SendMessageTimeoutW(list, LB_GETTEXTLEN, i, 0, SMTO_ABORTIFHUNG, 2000, &length);
            std::wstring text(length + 1, L'\0');
            DWORD_PTR copied = 0;
            SendMessageTimeoutW(list, LB_GETTEXT, i, reinterpret_cast<LPARAM>(text.data()),
                                SMTO_ABORTIFHUNG, 2000, &copied);
            text.resize(copied == static_cast<DWORD_PTR>(LB_ERR) ? 0 : copied);
            entries.push_back(text);
        }
        return entries;
    }
    long Selected() const {
        DWORD_PTR sel = static_cast<DWORD_PTR>(LB_ERR);
        SendMessageTimeoutW(list, LB_GETCURSEL, 0, 0, SMTO_ABORTIFHUNG, 2000, &sel);
        return static_cast<long>(static_cast<LRESULT>(sel));
    }
    // The middle of entry `index` on the screen.
    POINT EntryPoint(int index) const {
        DWORD_PTR height = 0, top = 0;
        SendMessageTimeoutW(list, LB_GETITEMHEIGHT, 0, 0, SMTO_ABORTIFHUNG, 2000, &height);
        SendMessageTimeoutW(list, LB_GETTOPINDEX, 0, 0, SMTO_ABORTIFHUNG, 2000, &top);
        RECT area{};
        GetClientRect(list, &area);
        POINT p{area.right / 2, static_cast<LONG>((index - static_cast<int>(top)) * height + height / 2)};
        ClientToScreen(list, &p);
        return p;
    }
};

// A message box of Kestrum's: its text, its buttons and whether it shows an icon.
struct BoxSeen {
    std::wstring text;
    std::wstring buttons;
    bool icon = false;
};

BoxSeen ReadBox(HWND box) {
    BoxSeen seen;
    for (HWND h : Children(box)) {
        const std::wstring cls = ClassOf(h);
        if (_wcsicmp(cls.c_str(), L"Button") == 0 && IsWindowVisible(h)) {
            seen.buttons += (seen.buttons.empty() ? L"" : L",") + TextOf(h);
        } else if (_wcsicmp(cls.c_str(), L"Static") == 0 && IsWindowVisible(h)) {
            DWORD_PTR icon = 0;
            if ((GetWindowLongW(h, GWL_STYLE) & SS_TYPEMASK) == SS_ICON) {
                SendMessageTimeoutW(h, STM_GETICON, 0, 0, SMTO_ABORTIFHUNG, 2000, &icon);
                seen.icon = seen.icon || icon != 0;
            } else if (GetDlgCtrlID(h) == 0xFFFF) seen.text = TextOf(h);
        }
    }
    return seen;
}

// Checks a message box against the expected text and presses its OK button.
void CheckAndDismiss(HWND box, const std::wstring& expected, Findings& f, bool exact = true,
                     const std::vector<std::wstring>& parts = {}) {
    const BoxSeen seen = ReadBox(box);
    if (exact) {
        f.Equal("message box text", Quote(expected), Quote(seen.text));
    } else {
        for (const std::wstring& part : parts)
            f.Check(seen.text.find(part) != std::wstring::npos, "message box text",
                    "a text containing " + Quote(part), Quote(seen.text));
    }
    f.Equal("message box buttons", Quote(L"OK"), Quote(seen.buttons));
    f.Check(!seen.icon, "message box icon", "none", "an icon");
    for (HWND h : Children(box)) {
        if (GetDlgCtrlID(h) == IDOK) PostMessageW(h, BM_CLICK, 0, 0);
    }
}

// ---------------------------------------------------------------- roads

struct Context {
    std::wstring kestrum;
    std::wstring client;
};

const std::wstring kLongTitle = [] {
    std::wstring t = L"A long title:";
    for (int i = 0; i < 100; ++i) t += L" 0123456789";
    return t;
}();
// In the system code page of a Western European setting, beyond ASCII and
// beyond Latin-1 (the dash).
const std::wstring kNonAsciiTitle = L"Gr\u00f6\u00dfe \u2013 Caf\u00e9";
// Cyrillic, Chinese and Latin: "Заказы 中文 Größe", which no single code page
// holds.
const std::wstring kThreeScriptsTitle =
    L"\u0417\u0430\u043a\u0430\u0437\u044b \u4e2d\u6587 Gr\u00f6\u00dfe";

using Layout = std::vector<std::wstring>;

// Starts the client (when the layout has windows) and checks the desktop
// holds no other client window first.
bool StartClient(const Context& ctx, const Layout& layout, Client& client, Findings& f) {
    const bool clean = WaitUntil([] { return ClientWindowsOnDesktop().empty(); }, 5000);
    if (!f.Check(clean, "desktop before the road", "no client window", "windows of an earlier client"))
        return false;
    if (layout.empty()) return true;
    std::string error;
    return f.Check(client.Start(ctx.client, layout, error), "stand-in client", "started", error);
}

struct PaneBefore {
    HWND pane;
    RECT rect;
};

std::vector<PaneBefore> PanesNow(const Client& client) {
    std::vector<PaneBefore> now;
    for (HWND pane : client.panes) now.push_back({pane, RectOf(pane)});
    return now;
}

// Every pane but `changed` kept its rectangle and was asked no move; `changed`
// got `width`, keeping its place and height: its left edge on screen, or its
// right edge in a client laid out right to left (`mirrored`).
void CheckPanes(Client& client, const std::vector<PaneBefore>& before, HWND changed, int width,
                Findings& f, bool mirrored = false) {
    std::map<HWND, long> moves = client.Moves();
    f.Equal("panes in the client's report", before.size(), moves.size());
    for (const PaneBefore& p : before) {
        const RECT now = RectOf(p.pane);
        const std::string name = "pane " + std::to_string(e2e::HandleValue(p.pane));
        if (p.pane != changed) {
            f.Equal(name + " rectangle (untouched)", RectText(p.rect), RectText(now));
            f.Equal(name + " moves asked (untouched)", 0L, moves[p.pane]);
            continue;
        }
        RECT want = p.rect;
        if (mirrored) {
            want.left = want.right - width;
        } else {
            want.right = want.left + width;
        }
        f.Equal(name + " rectangle", RectText(want), RectText(now));
    }
}

// The panes Kestrum found are those of the client its list has selected
// (entry 0 at start), in the window manager's order: the button sets the
// width of the first of them (300, the width in force) and of no other
// window, or says that there is none.
void CheckButtonActsOnTheSelectedClient(Client& client, const std::vector<PaneBefore>& before,
                                        const Kestrum& k, HWND main, Findings& f) {
    const Controls c(main);
    const std::vector<HWND> clients = Controls::ValuesOf(c.list);
    const long selected = c.Selected();
    if (!f.Check(selected >= 0 && static_cast<std::size_t>(selected) < clients.size(),
                 "entry selected", "one of the entries", std::to_string(selected)))
        return;
    const HWND pane = FirstPane(clients[static_cast<std::size_t>(selected)]);
    SetForegroundWindow(main);
    k.Settle();
    Click(CenterOf(c.button));
    k.Settle();
    if (pane == nullptr) {
        HWND box = nullptr;
        WaitUntil([&] { return (box = k.MessageBox()) != nullptr; }, 5000);
        if (f.Check(box != nullptr, "the button without a pane", "a message box", "none")) {
            CheckAndDismiss(box, kNoPane, f);
            WaitUntil([&] { return IsWindow(box) == FALSE; }, 5000);
        }
    } else {
        WaitUntil([&] { return RectOf(pane).right - RectOf(pane).left == 300; }, 3000);
    }
    CheckPanes(client, before, pane, 300, f);
}

// ------------------------------------------------ roads without the window

struct AutoRoad {
    const char* name;
    Layout layout;          // stand-in client options; empty: no client
    const wchar_t* args;    // Kestrum's command line after its path
    DWORD hangMs;           // the client stops answering this long before the start
    long exitStatus;
    const wchar_t* message;               // exact message box text, or null
    std::vector<std::wstring> parts;      // or pieces the text must contain
    bool windowShown;
    int width;                            // the first pane's width after; 0: untouched
    bool mirrored = false;                // the client is laid out right to left
    int clientAfterMs = 0;                // the client starts this long after Kestrum
};

void RunAutoRoad(const Context& ctx, const AutoRoad& road, Findings& f) {
    Client client;
    std::vector<PaneBefore> before;
    const bool late = road.clientAfterMs > 0;
    if (!late) {
        if (!StartClient(ctx, road.layout, client, f)) return;
        before = PanesNow(client);
    }
    if (road.hangMs > 0) {
        client.Command("hang " + std::to_string(road.hangMs));
        if (!f.Check(client.Expect("hanging", 5000), "client", "hanging", "no answer")) return;
    }

    Kestrum k;
    if (!f.Check(k.Start(ctx.kestrum, road.args), "kestrum.exe", "started", "no process")) return;
    // Watch every moment of the run: a window shown even briefly is seen.
    const double started = Seconds();
    k.Resume();
    bool sawWindow = false;
    int boxes = 0;
    double ended = 0;
    HWND shown = nullptr;
    bool lateStarted = false;
    while (Seconds() - started < 20) {
        if (late && !lateStarted && Seconds() - started >= road.clientAfterMs / 1000.0) {
            lateStarted = true;
            if (!StartClient(ctx, road.layout, client, f)) break;
            before = PanesNow(client);
        }
        if (WaitForSingleObject(k.process.handle.get(), 1) == WAIT_OBJECT_0) {
            ended = Seconds();
            break;
        }
        if (HWND main = k.MainWindow()) {
            sawWindow = true;
            if (road.windowShown && !shown) {
                shown = main;
                break;
            }
        }
        if (HWND box = k.MessageBox()) {
            ++boxes;
            const bool expected = road.message || !road.parts.empty();
            if (!f.Check(expected, "message box", "none", Quote(ReadBox(box).text))) {
                PostMessageW(box, WM_CLOSE, 0, 0);
            } else {
                CheckAndDismiss(box, road.message ? road.message : L"", f, road.message != nullptr,
                                road.parts);
            }
            WaitUntil([&] { return IsWindow(box) == FALSE; }, 5000);
        }
    }
    f.Equal("Kestrum window shown", road.windowShown, sawWindow);
    f.Equal("message boxes shown", (road.message || !road.parts.empty()) ? 1 : 0, boxes);
    if (shown) {
        const Controls c(shown);
        f.Equal("entries listed", static_cast<std::size_t>(client.windows.size()), c.Entries().size());
        f.Equal("entry selected", 0L, c.Selected());
        CheckButtonActsOnTheSelectedClient(client, before, k, shown, f);
        k.Close(shown, f);
        return;
    }
    if (!f.Check(ended > 0, "Kestrum's end", "an end within 20 s", "still running")) return;
    f.Equal("exit status", road.exitStatus, k.process.ExitStatus());
    char took[64];
    std::snprintf(took, sizeof took, "%.3f s", ended - started);
    f.notes.push_back(std::string("Kestrum ran ") + took);
    if (late) f.Check(ended - started > road.clientAfterMs / 1000.0, "Kestrum's end", "after the client started", took);
    if (road.hangMs > 0) {
        f.Check(ended - started < 2.0, "Kestrum's run time beside a hung client", "under 2 s", took);
        // The client really was not answering: the new width waits for it.
        const RECT during = RectOf(client.panes.front());
        f.Equal("pane while the client hangs", RectText(before.front().rect), RectText(during));
        f.Check(client.Expect("awake", road.hangMs + 10000), "client", "awake again", "no answer");
        const HWND pane = client.panes.front();
        WaitUntil([&] { return RectOf(pane).right - RectOf(pane).left == road.width; }, 3000);
    }
    const HWND changed = road.width ? client.panes.front() : nullptr;
    CheckPanes(client, before, changed, road.width, f, road.mirrored);
}

// ------------------------------------------------ roads with the window

struct Session {
    Client client;
    Kestrum kestrum;
    HWND main = nullptr;
    std::vector<PaneBefore> before;
};

bool Open(const Context& ctx, const Layout& layout, const wchar_t* args, Session& s, Findings& f) {
    if (!StartClient(ctx, layout, s.client, f)) return false;
    s.before = PanesNow(s.client);
    if (!f.Check(s.kestrum.Start(ctx.kestrum, args), "kestrum.exe", "started", "no process"))
        return false;
    s.kestrum.Resume();
    WaitUntil([&] { return (s.main = s.kestrum.MainWindow()) != nullptr; }, 15000);
    if (!f.Check(s.main != nullptr, "Kestrum window", "shown within 15 s", "none")) return false;
    const bool complete = WaitUntil([&] { return Controls(s.main).Complete(); }, 5000);
    if (!f.Check(complete, "Kestrum window's controls", "a list, a field and the button",
                 "some missing"))
        return false;
    SetForegroundWindow(s.main);
    s.kestrum.Settle();
    return true;
}

// What a user does with the field: types a text, then leaves the field.
struct FieldStep {
    std::wstring typed;
    bool leaveByButton;     // else by Tab
    std::wstring shown;     // the field's text afterwards
};

struct WindowRoad {
    const char* name;
    Layout layout;
    const wchar_t* args;
    void (*run)(const Context&, const WindowRoad&, Session&, Findings&);
    std::vector<FieldStep> steps;
    int client = 0;        // the main window the road works on, in list order
    int width = 0;         // its first pane's width after the road
};

void CheckListText(const Context&, const WindowRoad& road, Session& s, Findings& f) {
    const Controls c(s.main);
    f.Equal("visible list boxes", 1, c.visibleLists);
    f.Equal("the field's label", Quote(L"new size:"), Quote(c.label));
    f.Equal("the field at start", Quote(L"300"), Quote(TextOf(c.field)));
    // The titles as the layout gave them, by window in the client's order.
    std::map<HWND, std::wstring> titles;
    for (std::size_t i = 0, w = 0; i + 1 < road.layout.size(); ++i) {
        if (road.layout[i] == L"--window" && w < s.client.windows.size())
            titles[s.client.windows[w++]] = road.layout[i + 1];
    }
    std::vector<std::wstring> expected;
    for (HWND h : ClientWindowsOnDesktop()) {  // in the window manager's own order
        expected.push_back(std::to_wstring(e2e::HandleValue(h)) + L" # C/SIDE Application # " +
                           titles[h]);
    }
    f.Equal("clients on the desktop", titles.size(), expected.size());
    const std::vector<std::wstring> seen = c.Entries();
    f.Equal("entries listed", expected.size(), seen.size());
    for (std::size_t i = 0; i < expected.size() && i < seen.size(); ++i)
        f.Equal("entry " + std::to_string(i), Quote(expected[i]), Quote(seen[i]));
    f.Equal("entry selected", 0L, c.Selected());
    CheckPanes(s.client, s.before, nullptr, 0, f);
}

// Selects the road's client in the list with the keyboard, works the field,
// then presses the button.
void UseFieldAndButton(const Context&, const WindowRoad& road, Session& s, Findings& f) {
    const Controls c(s.main);
    Click(c.EntryPoint(0));
    for (int i = 0; i < road.client; ++i) PressKey(VK_DOWN);
    s.kestrum.Settle();
    f.Equal("entry selected", static_cast<long>(road.client), c.Selected());
    bool pressed = false;
    for (const FieldStep& step : road.steps) {
        Click(CenterOf(c.field));
        s.kestrum.Settle();
        Type(step.typed);
        s.kestrum.Settle();
        if (step.leaveByButton) Click(CenterOf(c.button));
        else PressKey(VK_TAB);
        pressed = step.leaveByButton;
        s.kestrum.Settle();
        WaitUntil([&] { return TextOf(c.field) == step.shown; }, 2000);
        f.Equal("field after typing " + Quote(step.typed), Quote(step.shown), Quote(TextOf(c.field)));
    }
    if (!pressed) Click(CenterOf(c.button));
    s.kestrum.Settle();
    const std::vector<HWND> clients = ClientWindowsOnDesktop();  // in list order
    if (!f.Check(static_cast<std::size_t>(road.client) < clients.size(), "clients on the desktop",
                 "more than " + std::to_string(road.client), std::to_string(clients.size())))
        return;
    const HWND pane = FirstPane(clients[static_cast<std::size_t>(road.client)]);
    WaitUntil([&] { return RectOf(pane).right - RectOf(pane).left == road.width; }, 3000);
    CheckPanes(s.client, s.before, pane, road.width, f);
}

HWND FocusIn(HWND main) {
    GUITHREADINFO info{};
    info.cbSize = sizeof info;
    GetGUIThreadInfo(GetWindowThreadProcessId(main, nullptr), &info);
    return info.hwndFocus;
}

std::string ControlName(const Controls& c, HWND h) {
    if (h == c.list) return "the list";
    if (h == c.button) return "the button";
    if (h == c.field) return "the field";
    return h ? "another window (" + Narrow(ClassOf(h)) + ")" : "none";
}

// Focus starts on the list, Tab goes round list, button, field; tabbing into
// the field selects its text; Enter in the field presses no button.
void TabAndEnter(const Context&, const WindowRoad&, Session& s, Findings& f) {
    const Controls c(s.main);
    // A screen reader names the field after the static just before it.
    const HWND beforeField = GetWindow(c.field, GW_HWNDPREV);
    f.Check(beforeField != nullptr && beforeField == c.labelWindow,
            "the control before the field in z-order", "the label",
            beforeField ? Narrow(ClassOf(beforeField)) + " " + Quote(TextOf(beforeField)) : "none");
    f.Equal("focus at start", ControlName(c, c.list), ControlName(c, FocusIn(s.main)));
    for (HWND next : {c.button, c.field, c.list, c.button, c.field}) {
        PressKey(VK_TAB);
        s.kestrum.Settle();
        WaitUntil([&] { return FocusIn(s.main) == next; }, 2000);
        f.Equal("focus after Tab", ControlName(c, next), ControlName(c, FocusIn(s.main)));
    }
    DWORD_PTR selection = 0;
    SendMessageTimeoutW(c.field, EM_GETSEL, 0, 0, SMTO_ABORTIFHUNG, 2000, &selection);
    f.Equal("field selection after Tab", std::string("0..") + std::to_string(TextOf(c.field).size()),
            std::to_string(LOWORD(selection)) + ".." + std::to_string(HIWORD(selection)));
    Type(L"180");
    PressKey(VK_RETURN);
    s.kestrum.Settle();
    Sleep(300);
    CheckPanes(s.client, s.before, nullptr, 0, f);
}

void ButtonWithoutPane(const Context&, const WindowRoad&, Session& s, Findings& f) {
    const Controls c(s.main);
    for (int press = 1; press <= 2; ++press) {
        Click(CenterOf(c.button));
        HWND box = nullptr;
        WaitUntil([&] { return (box = s.kestrum.MessageBox()) != nullptr; }, 5000);
        if (!f.Check(box != nullptr, "press " + std::to_string(press), "a message box", "none")) return;
        CheckAndDismiss(box, kNoPane, f);
        WaitUntil([&] { return IsWindow(box) == FALSE; }, 5000);
        f.Check(IsWindowVisible(s.main) != FALSE, "Kestrum window after the message", "visible",
                "gone");
    }
}

// The client drops its pane while Kestrum's window is up: the button says
// so each time, and the window stays.
void PaneGoneThenButton(const Context& ctx, const WindowRoad& road, Session& s, Findings& f) {
    const HWND pane = s.client.panes.front();
    const std::string handle = std::to_string(e2e::HandleValue(pane));
    s.client.Command("destroy " + handle);
    if (!f.Check(s.client.Expect("destroyed " + handle, 5000), "the client's pane", "destroyed",
                 "still there"))
        return;
    ButtonWithoutPane(ctx, road, s, f);
    f.Check(s.client.windows.front() != nullptr && IsWindow(s.client.windows.front()) != FALSE,
            "the client's main window", "still there", "gone");
}

// A double-click on a client that does not answer: Kestrum says so at once,
// and leaves the client as it was.
void DoubleClickOnAHungClient(const Context&, const WindowRoad&, Session& s, Findings& f) {
    const Controls c(s.main);
    const HWND target = s.client.windows.front();
    s.client.Command("hang 6000");
    if (!f.Check(s.client.Expect("hanging", 5000), "client", "hanging", "no answer")) return;
    const double clicked = Seconds();
    Click(c.EntryPoint(0), 2);
    HWND box = nullptr;
    WaitUntil([&] { return (box = s.kestrum.MessageBox()) != nullptr; }, 4000);
    char took[64];
    std::snprintf(took, sizeof took, "%.3f s", Seconds() - clicked);
    if (f.Check(box != nullptr, "a double-click on a hung client", "a message box", "none")) {
        f.Check(Seconds() - clicked < 2.0, "the message after the double-click", "within 2 s", took);
        CheckAndDismiss(box, L"The window is not responding; its state was not changed.", f);
        WaitUntil([&] { return IsWindow(box) == FALSE; }, 5000);
    }
    f.Check(s.client.Expect("awake", 10000), "client", "awake again", "no answer");
    f.Check(IsWindowEnabled(target) != FALSE, "the client after the double-click", "enabled, as it was",
            "disabled");
    f.Check(s.kestrum.Responsive(s.main), "Kestrum window", "answering", "no answer");
}

// The client drops its pane and makes a new one while Kestrum's window is
// up: the button finds the new one and sets its width, and says nothing.
void PaneReplacedThenButton(const Context&, const WindowRoad&, Session& s, Findings& f) {
    const HWND old = s.client.panes.front();
    const std::string handle = std::to_string(e2e::HandleValue(old));
    s.client.Command("replace " + handle);
    HWND pane = nullptr;
    const bool replaced = WaitUntil([&] {
        pane = FirstPane(s.client.windows.front());
        return pane != nullptr && pane != old;
    }, 5000);
    if (!f.Check(replaced, "the client's pane", "replaced", "still there")) return;
    const RECT before = RectOf(pane);
    const Controls c(s.main);
    Click(CenterOf(c.button));
    s.kestrum.Settle();
    WaitUntil([&] { return RectOf(pane).right - RectOf(pane).left == 300; }, 3000);
    RECT want = before;
    want.right = want.left + 300;
    f.Equal("the new pane's rectangle", RectText(want), RectText(RectOf(pane)));
    Sleep(300);
    const HWND box = s.kestrum.MessageBox();
    f.Check(box == nullptr, "a message box", "none", box ? Quote(ReadBox(box).text) : "");
    if (box != nullptr) PostMessageW(box, WM_CLOSE, 0, 0);
}

void DoubleClickToggles(const Context&, const WindowRoad&, Session& s, Findings& f) {
    const Controls c(s.main);
    const HWND target = s.client.windows.front();
    for (const bool enabled : {false, true}) {
        Click(c.EntryPoint(0), 2);
        s.kestrum.Settle();
        WaitUntil([&] { return (IsWindowEnabled(target) != FALSE) == enabled; }, 3000);
        f.Equal(std::string("client enabled after a double-click"), enabled,
                IsWindowEnabled(target) != FALSE);
    }
}

void ClientGone(const Context&, const WindowRoad&, Session& s, Findings& f) {
    const Controls c(s.main);
    if (!f.Check(s.client.Quit(), "client", "ended", "still running")) return;
    Click(CenterOf(c.button));
    HWND box = nullptr;
    WaitUntil([&] { return (box = s.kestrum.MessageBox()) != nullptr; }, 5000);
    if (f.Check(box != nullptr, "button with a closed client", "a message box", "none")) {
        CheckAndDismiss(box, kNoPane, f);
        WaitUntil([&] { return IsWindow(box) == FALSE; }, 5000);
    }
    Click(c.EntryPoint(0), 2);
    s.kestrum.Settle();
    f.Check(s.kestrum.Responsive(s.main), "Kestrum window after the double-click", "answering",
            "no answer");
    f.Equal("entries listed", static_cast<std::size_t>(1), c.Entries().size());
}

// ---------------------------------------------------------------- tables

Layout OneClient(const std::wstring& title, int paneWidth) {
    return {L"--window", title, L"--pane", L"2,15,12," + std::to_wstring(paneWidth) + L",150"};
}

std::vector<AutoRoad> AutoRoads() {
    const Layout one = OneClient(L"Orders", 220);
    const Layout two = {L"--window", L"First", L"--pane", L"1,10,10,200,100",
                        L"--window", L"Second", L"--pane", L"0,20,30,210,120"};
    const Layout twoPanes = {L"--window", L"Orders", L"--pane", L"0,10,10,200,100",
                             L"--pane", L"2,40,30,180,90"};
    const Layout mirrored = {L"--window", L"Orders", L"--place", L"200,100,700,420", L"--mirrored",
                             L"--pane", L"0,15,12,250,150"};
    const Layout mirroredFramed = {L"--window", L"Orders", L"--mirrored", L"--pane",
                                   L"2,15,12,220,150"};
    return {
        {"auto: one client, one pane", one, L"/AUTO", 0, 0, nullptr, {}, false, 300},
        {"auto: width already right", OneClient(L"Orders", 300), L"/AUTO", 0, 0, nullptr, {}, false, 0},
        {"auto: /newsize=250", one, L"/AUTO /newsize=250", 0, 0, nullptr, {}, false, 250},
        {"auto: any letter case", one, L"/newsize=250 /auto", 0, 0, nullptr, {}, false, 250},
        {"auto: no client", {}, L"/AUTO", 0, 1, kNoClient, {}, false, 0},
        {"no client without /AUTO", {}, L"", 0, 1, kNoClient, {}, false, 0},
        {"auto: two clients, two panes", two, L"/AUTO", 0, 0, nullptr, {}, true, 0},
        {"auto: one client, two panes", twoPanes, L"/AUTO", 0, 0, nullptr, {}, true, 0},
        {"auto: a client without a pane", {L"--window", L"Orders"}, L"/AUTO", 0, 0, nullptr, {}, true, 0},
        // The move waits in the client's queue: said, and status 6, within
        // two seconds; the width is set once the client answers again.
        {"auto: a client that stopped answering", one, L"/AUTO", 10000, 6,
         L"The client is not responding: the width will be set when it answers.", {}, false, 300},
        {"auto: a client that starts after Kestrum (/wait=10)", one, L"/AUTO /wait=10 /newsize=250", 0, 0,
         nullptr, {}, false, 250, false, 1500},
        {"auto: /quiet with two clients", two, L"/AUTO /quiet", 0, 5, nullptr, {}, false, 0},
        {"auto: /quiet with no client", {}, L"/AUTO /quiet", 0, 1, nullptr, {}, false, 0},
        {"usage: /?", one, L"/?", 0, 0, nullptr, {L"/wait=SECONDS", L"/quiet", L"Exit status"}, false, 0},
        {"auto: /newsize= out of range", one, L"/AUTO /newsize=40000", 0, 2, nullptr,
         {L"40000", L"out of range"}, false, 0},
        {"auto: /newsize= below the range", one, L"/AUTO /newsize=-32769", 0, 2, nullptr,
         {L"-32769", L"out of range"}, false, 0},
        // Laid out right to left: the pane keeps its right edge and grows to
        // the left, directly in the main window and inside frames alike.
        {"auto: a mirrored client", mirrored, L"/AUTO /newsize=300", 0, 0, nullptr, {}, false, 300,
         true},
        {"auto: a mirrored client, pane in frames", mirroredFramed, L"/AUTO /newsize=180", 0, 0,
         nullptr, {}, false, 180, true},
    };
}

std::vector<WindowRoad> WindowRoads() {
    const Layout two = {L"--window", L"First", L"--pane", L"1,10,10,200,100",
                        L"--window", L"Second", L"--pane", L"0,20,30,210,120",
                        L"--pane", L"2,15,12,190,80"};
    const Layout one = OneClient(L"Orders", 220);
    return {
        {"window: list text and selection",
         {L"--window", L"", L"--window", kNonAsciiTitle, L"--window", kLongTitle}, L"",
         CheckListText, {}, 0, 0},
        {"window: a title in three scripts", {L"--window", kThreeScriptsTitle}, L"", CheckListText,
         {}, 0, 0},
        {"window: second client, then the button", two, L"", UseFieldAndButton, {}, 1, 300},
        {"window: 180 typed, then the button", one, L"", UseFieldAndButton,
         {{L"180", true, L"180"}}, 0, 180},
        {"window: messy field input", one, L"/newsize=250", UseFieldAndButton,
         {{L" 3 0 0 ", false, L"300"}, {L"12abc", false, L"12"}, {L"500", false, L"12"},
          {L"0", false, L"12"}, {L"\b", false, L"12"}},
         0, 12},
        {"window: focus, Tab and Enter", one, L"", TabAndEnter, {}, 0, 0},
        {"window: button without a pane", {L"--window", L"Orders"}, L"", ButtonWithoutPane, {}, 0, 0},
        {"window: pane gone before the button", one, L"", PaneGoneThenButton, {}, 0, 0},
        {"window: double-click toggles enabled", one, L"", DoubleClickToggles, {}, 0, 0},
        {"window: double-click on a hung client", one, L"", DoubleClickOnAHungClient, {}, 0, 0},
        {"window: pane replaced before the button", one, L"", PaneReplacedThenButton, {}, 0, 0},
        {"window: client closed after start", one, L"", ClientGone, {}, 0, 0},
    };
}

std::wstring Option(int argc, wchar_t** argv, const wchar_t* name) {
    for (int i = 1; i + 1 < argc; ++i) {
        if (std::wcscmp(argv[i], name) == 0) return argv[i + 1];
    }
    return L"";
}

int passed = 0;
int failed = 0;

void Report(const char* name, const Findings& f) {
    std::string notes;
    for (const std::string& n : f.notes) notes += " (" + n + ")";
    if (f.failures.empty()) {
        ++passed;
        std::printf("PASS %s%s\n", name, notes.c_str());
    } else {
        ++failed;
        for (const std::string& line : f.failures) std::printf("FAIL %s: %s\n", name, line.c_str());
        if (!notes.empty()) std::printf("     %s\n", notes.c_str());
    }
    std::fflush(stdout);
}

}  // namespace

int wmain(int argc, wchar_t** argv) {
    Context ctx;
    ctx.kestrum = WindowsPath(Option(argc, argv, L"--kestrum"));
    ctx.client = WindowsPath(Option(argc, argv, L"--client"));
    const std::wstring only = Option(argc, argv, L"--road");
    if (ctx.client.empty()) {
        wchar_t self[MAX_PATH] = L"";
        GetModuleFileNameW(nullptr, self, MAX_PATH);
        ctx.client = self;
        ctx.client = ctx.client.substr(0, ctx.client.find_last_of(L'\\') + 1) + L"standin_client.exe";
    }
    if (ctx.kestrum.empty() || GetFileAttributesW(ctx.kestrum.c_str()) == INVALID_FILE_ATTRIBUTES ||
        GetFileAttributesW(ctx.client.c_str()) == INVALID_FILE_ATTRIBUTES) {
        std::printf("e2e_driver: kestrum.exe or the stand-in client not found (--kestrum, --client)\n");
        std::printf("0 passed, 1 failed\n");
        return 1;
    }
    const auto selected = [&](const char* name) {
        const std::string n = name;
        return only.empty() || n.find(Narrow(only)) != std::string::npos;
    };

    for (const AutoRoad& road : AutoRoads()) {
        if (!selected(road.name)) continue;
        Findings f;
        RunAutoRoad(ctx, road, f);
        Report(road.name, f);
    }
    for (const WindowRoad& road : WindowRoads()) {
        if (!selected(road.name)) continue;
        Findings f;
        Session s;
        if (Open(ctx, road.layout, road.args, s, f)) {
            road.run(ctx, road, s, f);
            if (f.Check(s.kestrum.process.Running(), "Kestrum at the road's end", "still running",
                        "ended with status " + std::to_string(s.kestrum.process.ExitStatus())))
                s.kestrum.Close(s.main, f);
        }
        Report(road.name, f);
    }
    std::printf("%d passed, %d failed\n", passed, failed);
    return failed == 0 ? 0 : 1;
}
