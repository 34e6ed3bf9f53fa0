// The pane's width set by a DPI-unaware Kestrum on a display at 144 dpi
// (150 %; ctest runs this in a Wine prefix set so), for clients of each DPI
// awareness: the window manager's rounding must not move the pane.
#include <windows.h>

#include <gtest/gtest.h>

#include <optional>

#include <cstdlib>
#include <string>

#include "actions/pane_width_reset.h"
#include "win32_fixture.h"
#include "winsys/win32/win32_timers.h"
#include "winsys/win32/win32_window_system.h"

namespace kestrum::win32 {
namespace {

// Windows 10's calls, which this build's headers (Windows 7) do not declare.
template <typename Function>
Function User32(const char* name) {
    const FARPROC f = GetProcAddress(GetModuleHandleW(L"user32.dll"), name);
    return reinterpret_cast<Function>(reinterpret_cast<void (*)()>(f));
}
using Context = DPI_AWARENESS_CONTEXT;
const auto SetThreadContext = User32<Context(WINAPI*)(Context)>("SetThreadDpiAwarenessContext");
const auto GetThreadContext = User32<Context(WINAPI*)()>("GetThreadDpiAwarenessContext");
const auto AwarenessOf = User32<DPI_AWARENESS(WINAPI*)(Context)>("GetAwarenessFromDpiAwarenessContext");

// This thread in the given awareness until the end of the scope.
class ThreadAwareness {
public:
    explicit ThreadAwareness(Context context)
        : previous_(context != nullptr && SetThreadContext ? SetThreadContext(context) : nullptr) {}
    ~ThreadAwareness() {
        if (previous_ != nullptr) SetThreadContext(previous_);
    }
    ThreadAwareness(const ThreadAwareness&) = delete;
    ThreadAwareness& operator=(const ThreadAwareness&) = delete;
    bool Set() const { return previous_ != nullptr; }

private:
    DPI_AWARENESS_CONTEXT previous_;
};

struct ScaledCase {
    const char* name;
    DPI_AWARENESS_CONTEXT client;  // the awareness its windows are made in
    LONG paneWidth;                // in the client's pixels, as is `width`
    std::int16_t newSize;          // in the pixels of a DPI-unaware program
    LONG width;                    // the pane's width afterwards
};

void PrintTo(const ScaledCase& c, std::ostream* os) { *os << c.name; }

class ScaledDisplayTest : public ::testing::TestWithParam<ScaledCase> {};

// The pane at (10,22), 100 high in its parent: values that do not survive
// 144 -> 96 -> 144 dpi (10 -> 7 -> 11). It keeps them to the pixel; its width
// is the new size scaled as a DPI-unaware program's always was (375 for 250
// in an aware client), and Kestrum's thread stays unaware.
TEST_P(ScaledDisplayTest, ThePaneKeepsItsPlaceAndHeight) {
    const ScaledCase& c = GetParam();
    const HDC screen = GetDC(nullptr);
    const int dpi = GetDeviceCaps(screen, LOGPIXELSY);
    ReleaseDC(nullptr, screen);
    if (dpi != 144) {
        if (std::getenv("KESTRUM_SCALED_DISPLAY") != nullptr) FAIL() << "display at " << dpi << " dpi";
        GTEST_SKIP() << "needs a display at 144 dpi, not " << dpi;
    }
    const ThreadAwareness asClient(c.client);
    // Wine 8 takes per-monitor awareness in its first form only.
    const bool firstForm = !asClient.Set() && c.client == DPI_AWARENESS_CONTEXT_PER_MONITOR_AWARE_V2;
    const ThreadAwareness asFirstForm(firstForm ? DPI_AWARENESS_CONTEXT_PER_MONITOR_AWARE : nullptr);
    ASSERT_TRUE(asClient.Set() || asFirstForm.Set());
    testing::TestClient client(L"Scaled", {});
    KESTRUM_REQUIRE_WINDOWS(client);
    const HWND pane = testing::MakeWindow(L"C/SIDE NavPane", L"", client.frame,
                                          {10, 22, 10 + c.paneWidth, 122}, WS_CHILD | WS_VISIBLE);
    ASSERT_NE(pane, nullptr);
    RECT before{};
    GetWindowRect(pane, &before);

    DPI_AWARENESS_CONTEXT kestrumAfter = nullptr;
    {
        const ThreadAwareness asKestrum(DPI_AWARENESS_CONTEXT_UNAWARE);
        Win32WindowSystem system;
        Win32Timers timers;
        PaneWidthReset reset(system, timers);
        std::optional<ResetOutcome> outcome;
        reset.Start(ToHandle(pane), c.newSize, [&](const ResetReport& report) { outcome = report.outcome; });
        testing::PumpUntil([&] { return outcome.has_value(); });
        EXPECT_TRUE(outcome == ResetOutcome::Moved || outcome == ResetOutcome::AlreadyThatWide);
        EXPECT_EQ(system.ToUnawarePixels(ToHandle(pane), c.width), c.newSize) << "the width read back, unscaled";
        kestrumAfter = GetThreadContext();
    }

    EXPECT_EQ(AwarenessOf(kestrumAfter), DPI_AWARENESS_UNAWARE);
    RECT after{};
    GetWindowRect(pane, &after);
    const RECT want{before.left, before.top, before.left + c.width, before.bottom};
    EXPECT_TRUE(EqualRect(&after, &want)) << after.left << "," << after.top << " " << after.right
                                          << "," << after.bottom;
    MapWindowPoints(nullptr, client.frame, reinterpret_cast<POINT*>(&after), 2);
    EXPECT_EQ(after.left, 10);
    EXPECT_EQ(after.top, 22);
}

const ScaledCase kScaledCases[] = {
    {"Unaware", DPI_AWARENESS_CONTEXT_UNAWARE, 201, 250, 250},
    {"SystemAware", DPI_AWARENESS_CONTEXT_SYSTEM_AWARE, 201, 250, 375},
    {"SystemAwareOddSize", DPI_AWARENESS_CONTEXT_SYSTEM_AWARE, 201, 181, 272},
    {"SystemAwareAlreadyThatWide", DPI_AWARENESS_CONTEXT_SYSTEM_AWARE, 375, 250, 375},
    // As wide as the new size in its own pixels, not in a DPI-unaware
    // program's: it widens.
    {"SystemAwareAsWideInItsOwnPixels", DPI_AWARENESS_CONTEXT_SYSTEM_AWARE, 250, 250, 375},
    {"PerMonitorAware", DPI_AWARENESS_CONTEXT_PER_MONITOR_AWARE_V2, 201, 250, 375},
};
INSTANTIATE_TEST_SUITE_P(Awareness, ScaledDisplayTest, ::testing::ValuesIn(kScaledCases),
                         [](const auto& info) { return std::string(info.param.name); });

}  // namespace
}  // namespace kestrum::win32
