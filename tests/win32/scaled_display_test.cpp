// The pane's width set on a scaled display, for a client of each DPI
// awareness: Kestrum itself is DPI-unaware, and its reads and moves must not
// shift the pane by the rounding of the window manager's conversions. Needs
// a display at 144 dpi (150 %); ctest runs this in a Wine prefix set so.
#include <windows.h>

#include <gtest/gtest.h>

#include <cstdlib>
#include <string>

#include "actions/pane_width_reset.h"
#include "ui/win32/win32_handles.h"
#include "win32_fixture.h"
#include "winsys/win32_window_system.h"

namespace kestrum::win32 {
namespace {

template <typename Function>
Function User32(const char* name) {
    const FARPROC f = GetProcAddress(GetModuleHandleW(L"user32.dll"), name);
    return reinterpret_cast<Function>(reinterpret_cast<void (*)()>(f));
}

using SetThreadContext = DPI_AWARENESS_CONTEXT(WINAPI*)(DPI_AWARENESS_CONTEXT);
using GetThreadContext = DPI_AWARENESS_CONTEXT(WINAPI*)();
using AwarenessOf = DPI_AWARENESS(WINAPI*)(DPI_AWARENESS_CONTEXT);

// This thread in the given awareness until the end of the scope.
class ThreadAwareness {
public:
    explicit ThreadAwareness(DPI_AWARENESS_CONTEXT context)
        : set_(User32<SetThreadContext>("SetThreadDpiAwarenessContext")),
          previous_(set_ ? set_(context) : nullptr) {}
    ~ThreadAwareness() {
        if (previous_ != nullptr) set_(previous_);
    }
    ThreadAwareness(const ThreadAwareness&) = delete;
    ThreadAwareness& operator=(const ThreadAwareness&) = delete;
    bool Set() const { return previous_ != nullptr; }

private:
    SetThreadContext set_;
    DPI_AWARENESS_CONTEXT previous_;
};

// The pane's rectangle as its own program sees it (its awareness is this
// thread's while the case runs): screen, and in its parent's client area.
struct Seen {
    RECT screen;
    RECT inParent;
};

Seen SeenByItsProgram(HWND pane) {
    Seen seen{};
    GetWindowRect(pane, &seen.screen);
    seen.inParent = seen.screen;
    MapWindowPoints(nullptr, GetParent(pane), reinterpret_cast<POINT*>(&seen.inParent), 2);
    return seen;
}

struct ScaledCase {
    const char* name;
    DPI_AWARENESS_CONTEXT client;  // the awareness the client's windows are made in
    LONG paneWidth;                // in its program's pixels
    std::int16_t newSize;          // in the pixels of a DPI-unaware program
    ResetOutcome outcome;
    LONG width;                    // the pane's width afterwards, in its program's pixels
};

void PrintTo(const ScaledCase& c, std::ostream* os) { *os << c.name; }

constexpr auto kMoved = ResetOutcome::Moved;
constexpr auto kAlready = ResetOutcome::AlreadyThatWide;
const DPI_AWARENESS_CONTEXT kUnaware = DPI_AWARENESS_CONTEXT_UNAWARE;
const DPI_AWARENESS_CONTEXT kSystem = DPI_AWARENESS_CONTEXT_SYSTEM_AWARE;
const DPI_AWARENESS_CONTEXT kPerMonitor = DPI_AWARENESS_CONTEXT_PER_MONITOR_AWARE_V2;

class ScaledDisplayTest : public ::testing::TestWithParam<ScaledCase> {};

// A place and height that do not survive a conversion to 96 dpi and back
// (10 -> 6.67 -> 7 -> 10.5 -> 11). The pane keeps them to the pixel; its
// width is the new size as the window manager scales it for a DPI-unaware
// program (1.5 times at 144 dpi for an aware client, as it was before), and
// Kestrum's thread is left in its own awareness.
TEST_P(ScaledDisplayTest, ThePaneKeepsItsPlaceAndHeight) {
    const ScaledCase& c = GetParam();
    const HDC screen = GetDC(nullptr);
    const int dpi = GetDeviceCaps(screen, LOGPIXELSY);
    ReleaseDC(nullptr, screen);
    if (dpi != 144) {
        // Where ctest asked for a scaled display, not having one is a failure.
        if (std::getenv("KESTRUM_SCALED_DISPLAY") != nullptr) FAIL() << "the display is at " << dpi;
        GTEST_SKIP() << "needs a display at 144 dpi, this one is at " << dpi;
    }
    ThreadAwareness asClient(c.client);
    // Wine 8 knows per-monitor awareness in its first form only.
    const bool firstForm = !asClient.Set() && c.client == kPerMonitor;
    ThreadAwareness asFirstForm(firstForm ? DPI_AWARENESS_CONTEXT_PER_MONITOR_AWARE : nullptr);
    ASSERT_TRUE(asClient.Set() || asFirstForm.Set()) << "no per-thread DPI awareness here";
    if (!testing::RegisterTestClass(L"C/SIDE Application") || !testing::RegisterTestClass(L"KestrumTestFrame") ||
        !testing::RegisterTestClass(L"C/SIDE NavPane")) {
        GTEST_SKIP() << "no windows can be made here (no display?)";
    }
    const UniqueWindow main(testing::MakeWindow(L"C/SIDE Application", L"Scaled", nullptr,
                                                {101, 103, 701, 503}, WS_OVERLAPPEDWINDOW));
    const HWND frame = testing::MakeWindow(L"KestrumTestFrame", L"", main.Get(), {5, 7, 505, 357},
                                           WS_CHILD | WS_VISIBLE | WS_CAPTION | WS_BORDER);
    const HWND pane = testing::MakeWindow(L"C/SIDE NavPane", L"", frame,
                                          {10, 22, 10 + c.paneWidth, 122}, WS_CHILD | WS_VISIBLE);
    if (main.Get() == nullptr || frame == nullptr || pane == nullptr) {
        GTEST_SKIP() << "no windows can be made here (no display?)";
    }
    const Seen before = SeenByItsProgram(pane);

    ResetOutcome outcome;
    DPI_AWARENESS kestrumAfter = DPI_AWARENESS_INVALID;
    {
        ThreadAwareness asKestrum(DPI_AWARENESS_CONTEXT_UNAWARE);
        Win32WindowSystem system;
        outcome = ResetPaneWidth(system, ToHandle(pane), c.newSize);
        kestrumAfter = User32<AwarenessOf>("GetAwarenessFromDpiAwarenessContext")(
            User32<GetThreadContext>("GetThreadDpiAwarenessContext")());
    }

    EXPECT_EQ(outcome, c.outcome);
    EXPECT_EQ(kestrumAfter, DPI_AWARENESS_UNAWARE);
    const Seen after = SeenByItsProgram(pane);
    EXPECT_EQ(after.inParent.left, 10);
    EXPECT_EQ(after.inParent.top, 22);
    EXPECT_EQ(after.inParent.bottom - after.inParent.top, 100);
    EXPECT_EQ(after.screen.left, before.screen.left);
    EXPECT_EQ(after.screen.top, before.screen.top);
    EXPECT_EQ(after.screen.bottom, before.screen.bottom);
    EXPECT_EQ(after.screen.right - after.screen.left, c.width);
}

INSTANTIATE_TEST_SUITE_P(
    Awareness, ScaledDisplayTest,
    ::testing::Values(
        ScaledCase{"Unaware", kUnaware, 201, 250, kMoved, 250},
        ScaledCase{"UnawareOdd", kUnaware, 201, 181, kMoved, 181},
        ScaledCase{"UnawareAlreadyThatWide", kUnaware, 250, 250, kAlready, 250},
        ScaledCase{"SystemAware", kSystem, 201, 250, kMoved, 375},
        ScaledCase{"SystemAwareOdd", kSystem, 201, 181, kMoved, 272},
        ScaledCase{"SystemAwareAlreadyThatWide", kSystem, 375, 250, kAlready, 375},
        // As wide as the new size in its own pixels, narrower than it in
        // those of a DPI-unaware program: it widens.
        ScaledCase{"SystemAwareAsWideInItsOwnPixels", kSystem, 250, 250, kMoved, 375},
        ScaledCase{"PerMonitorAware", kPerMonitor, 201, 250, kMoved, 375},
        ScaledCase{"PerMonitorAwareOdd", kPerMonitor, 201, 181, kMoved, 272},
        ScaledCase{"PerMonitorAwareAsWideInItsOwnPixels", kPerMonitor, 250, 250, kMoved, 375}),
    [](const ::testing::TestParamInfo<ScaledCase>& info) { return std::string(info.param.name); });

}  // namespace
}  // namespace kestrum::win32
