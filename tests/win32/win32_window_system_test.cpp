// The user32 window system on real windows of this process: held to the
// window-system contract the in-memory desktop is held to.
#include "winsys/win32/win32_window_system.h"

#include <gtest/gtest.h>

#include <functional>

#include <memory>
#include <stdexcept>
#include <string>
#include <vector>

#include "../window_system_contract.h"
#include "win32_fixture.h"
#include "winsys/win32/win32_message_boxes.h"
#include "winsys/win32/win32_text.h"

namespace kestrum::win32 {
namespace {

using contract::WindowSystemContract;

// A window that reports the length the case gives for its text.
std::int32_t g_reportedLength = 0;

LRESULT CALLBACK ReportsLength(HWND window, UINT message, WPARAM wParam, LPARAM lParam) {
    if (message == WM_GETTEXTLENGTH) return g_reportedLength;
    return DefWindowProcW(window, message, wParam, lParam);
}

// A read cut short by the room (its length and one, or 256 for a length that
// cannot be used, in UTF-16 units) never ends inside a surrogate pair.
TEST(Win32TextTest, AReadCutShortEndsBetweenCharacters) {
    const std::wstring pair = L"\U0001F600";
    const struct {
        std::wstring title;
        std::int32_t reportedLength;
        std::string read;
    } cases[] = {
        {L"a" + pair + L"b", 3, "a\xF0\x9F\x98\x80"},
        {L"a" + pair + L"b", 2, "a"},
        {std::wstring(254, L'x') + pair, -1, std::string(254, 'x')},
    };
    if (!testing::RegisterTestClass(L"KestrumReportsLength", ReportsLength)) GTEST_SKIP();
    Win32WindowSystem system;
    for (const auto& c : cases) {
        g_reportedLength = c.reportedLength;
        const UniqueWindow window(testing::MakeWindow(L"KestrumReportsLength", c.title, nullptr,
                                                      {0, 0, 50, 50}, WS_POPUP));
        if (window.Get() == nullptr) GTEST_SKIP() << "no windows can be made here (no display?)";
        EXPECT_EQ(system.WindowText(ToHandle(window.Get())), c.read) << c.reportedLength;
    }
}

// Real windows of this process, made hidden. Every top-level window goes
// behind all others; a mirrored window's children do not take on its layout,
// as the contract's shapes say.
class Win32ContractDesktop final : public contract::ContractDesktop {
public:
    WindowSystem& System() override { return system_; }

    WindowHandle AddTopLevel(const contract::Shape& shape) override {
        const HWND window =
            Make(shape, nullptr, shape.framed ? WS_OVERLAPPED | WS_CAPTION | WS_BORDER : WS_POPUP);
        SetWindowPos(window, HWND_BOTTOM, 0, 0, 0, 0, SWP_NOMOVE | SWP_NOSIZE | SWP_NOACTIVATE);
        topLevel_.emplace_back(window);
        return ToHandle(window);
    }
    WindowHandle AddChild(WindowHandle parent, const contract::Shape& shape) override {
        return ToHandle(Make(shape, ToHwnd(parent), WS_CHILD | (shape.framed ? WS_CAPTION | WS_BORDER : 0)));
    }
    void Destroy(WindowHandle window) override {
        const HWND hwnd = ToHwnd(window);
        for (UniqueWindow& owned : topLevel_) {
            if (owned.Get() == hwnd) return owned.Reset();
        }
        DestroyWindow(hwnd);
    }
    void HandleMessagesUntil(const std::function<bool()>& done) override { testing::PumpUntil(done); }

private:
    static HWND Make(const contract::Shape& shape, HWND parent, DWORD style) {
        const std::wstring className = Utf8ToWide(shape.className);
        if (!testing::RegisterTestClass(className.c_str())) throw std::runtime_error("no window class");
        const DWORD exStyle = shape.mirrored ? WS_EX_LAYOUTRTL | WS_EX_NOINHERITLAYOUT : 0;
        const HWND window = testing::MakeWindow(
            className.c_str(), Utf8ToWide(shape.text), parent,
            {shape.rect.left, shape.rect.top, shape.rect.right, shape.rect.bottom},
            style | (shape.enabled ? 0 : WS_DISABLED) | (shape.visible ? WS_VISIBLE : 0) | (shape.minimized ? WS_MINIMIZE : 0),
            exStyle);
        if (window == nullptr) throw std::runtime_error("the window could not be made");
        return window;
    }

    Win32WindowSystem system_;
    std::vector<UniqueWindow> topLevel_;
};

std::unique_ptr<contract::ContractDesktop> MakeWin32Desktop() {
    // No display, no windows: the contract is skipped rather than failed.
    const UniqueWindow probe(testing::MakeWindow(L"STATIC", L"", nullptr, {0, 0, 10, 10}, WS_POPUP));
    if (probe.Get() == nullptr) return nullptr;
    return std::make_unique<Win32ContractDesktop>();
}

INSTANTIATE_TEST_SUITE_P(Win32, WindowSystemContract,
                         ::testing::ValuesIn(contract::ContractRuns(MakeWin32Desktop)),
                         contract::ContractName);

// The message boxes asked for, recorded instead of shown.
struct BoxAsked {
    HWND owner;
    std::wstring text;
    std::wstring caption;
    UINT style;
};
std::vector<BoxAsked> g_boxesAsked;

int WINAPI RecordBox(HWND owner, LPCWSTR text, LPCWSTR caption, UINT style) {
    g_boxesAsked.push_back({owner, text, caption, style});
    return IDOK;
}

// A box with no window of ours to stand on is brought to the front; one owned
// by the visible window is not. Either way: the text, "Kestrum", OK only and
// no icon.
TEST(Win32MessageBoxTest, ABoxWithoutAnOwnerComesToTheFront) {
    const UniqueWindow window(testing::MakeWindow(L"STATIC", L"", nullptr, {0, 0, 50, 50}, WS_POPUP));
    if (window.Get() == nullptr) GTEST_SKIP() << "no windows can be made here (no display?)";
    g_boxesAsked.clear();
    Win32MessageBoxes boxes(RecordBox);

    boxes.Show("no C/Side Application found");  // before any window exists
    boxes.SetOwner(window.Get());
    boxes.Show("B\xC3\xBCro");  // the window exists, but is hidden
    ShowWindow(window.Get(), SW_SHOWNOACTIVATE);
    boxes.Show("NavPane was not found");

    ASSERT_EQ(g_boxesAsked.size(), 3u);
    const HWND owners[] = {nullptr, nullptr, window.Get()};
    const UINT styles[] = {MB_OK | MB_SETFOREGROUND, MB_OK | MB_SETFOREGROUND, MB_OK};
    const std::wstring texts[] = {L"no C/Side Application found", L"B\u00FCro", L"NavPane was not found"};
    for (std::size_t i = 0; i < 3; ++i) {
        EXPECT_EQ(g_boxesAsked[i].owner, owners[i]) << i;
        EXPECT_EQ(g_boxesAsked[i].style, styles[i]) << i;
        EXPECT_EQ(g_boxesAsked[i].style & MB_TYPEMASK, static_cast<UINT>(MB_OK)) << i;
        EXPECT_EQ(g_boxesAsked[i].style & MB_ICONMASK, 0u) << i;
        EXPECT_EQ(g_boxesAsked[i].text, texts[i]) << i;
        EXPECT_EQ(g_boxesAsked[i].caption, L"Kestrum") << i;
    }
}

#if defined(_WIN64)
// A handle is 64 bits wide here and only its low 32 bits are kept: the value
// must come back unchanged, a negative one (sign-extended) included. In a
// 32-bit build both are the same width and there is nothing to lose.
TEST(HandleTest, PassesTheValueUnchanged) {
    for (const WindowHandle h : {0, 1, 0x00010064, 0x7FFFFFFF, -2}) {
        EXPECT_EQ(ToHandle(ToHwnd(h)), h);
    }
}
#endif

}  // namespace
}  // namespace kestrum::win32
