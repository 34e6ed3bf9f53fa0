// The wait that handles messages, and the question whether a window answers,
// on real windows: what keeps Kestrum responsive while it waits for a pane,
// and what keeps it from freezing on a hung client.
#include "winsys/win32/win32_clock.h"

#include <gtest/gtest.h>

#include <chrono>

#include "win32_fixture.h"
#include "winsys/win32/win32_window_system.h"

namespace kestrum::win32 {
namespace {

using std::chrono::milliseconds;

int g_handled = 0;

LRESULT CALLBACK CountingProc(HWND window, UINT message, WPARAM wParam, LPARAM lParam) {
    if (message == WM_APP) ++g_handled;
    return DefWindowProcW(window, message, wParam, lParam);
}

TEST(Win32ClockTest, APauseHandsOnMessagesAndKeepsARequestToEnd) {
    ASSERT_TRUE(testing::RegisterTestClass(L"KestrumClockTest", CountingProc));
    const UniqueWindow window(testing::MakeWindow(L"KestrumClockTest", L"", nullptr, {0, 0, 10, 10}, WS_POPUP));
    if (window.Get() == nullptr) GTEST_SKIP() << "no windows can be made here (no display?)";
    testing::Pump();
    Win32Clock clock;
    g_handled = 0;
    PostMessageW(window.Get(), WM_APP, 0, 0);
    const milliseconds start = clock.Now();
    clock.Pause(milliseconds(200));
    const milliseconds took = clock.Now() - start;
    EXPECT_EQ(g_handled, 1) << "handled during the pause";
    EXPECT_GE(took, milliseconds(190));
    EXPECT_LT(took, milliseconds(1000));

    // A request to end the program ends the pause, and is still there for
    // the loop that waits for it.
    PostQuitMessage(7);
    const milliseconds before = clock.Now();
    clock.Pause(milliseconds(2000));
    EXPECT_LT(clock.Now() - before, milliseconds(1000));
    MSG quit{};
    ASSERT_TRUE(PeekMessageW(&quit, nullptr, WM_QUIT, WM_QUIT, PM_REMOVE));
    EXPECT_EQ(quit.wParam, 7u);
}

// A window whose thread stops handling messages, as a hung client's does.
class HungWindow {
public:
    HungWindow() {
        ready_ = CreateEventW(nullptr, TRUE, FALSE, nullptr);
        release_ = CreateEventW(nullptr, TRUE, FALSE, nullptr);
        thread_ = CreateThread(nullptr, 0, &HungWindow::Run, this, 0, nullptr);
        WaitForSingleObject(ready_, 5000);
    }
    ~HungWindow() {
        SetEvent(release_);
        WaitForSingleObject(thread_, 5000);
        for (const HANDLE h : {ready_, release_, thread_}) CloseHandle(h);
    }
    HWND Get() const { return window_; }

private:
    static DWORD WINAPI Run(void* self) {
        auto& hung = *static_cast<HungWindow*>(self);
        hung.window_ = testing::MakeWindow(L"STATIC", L"hung", nullptr, {0, 0, 50, 50}, WS_POPUP);
        SetEvent(hung.ready_);
        WaitForSingleObject(hung.release_, 10000);  // not a message handled meanwhile
        if (hung.window_ != nullptr) DestroyWindow(hung.window_);
        return 0;
    }

    HANDLE ready_;
    HANDLE release_;
    HANDLE thread_;
    HWND window_ = nullptr;
};

TEST(AskIfAnsweringTest, AHungWindowIsGivenUpOnWithinHalfASecond) {
    const UniqueWindow own(testing::MakeWindow(L"STATIC", L"", nullptr, {0, 0, 10, 10}, WS_POPUP));
    if (own.Get() == nullptr) GTEST_SKIP() << "no windows can be made here (no display?)";
    const HungWindow hung;
    ASSERT_NE(hung.Get(), nullptr);
    Win32WindowSystem system;
    Win32Clock clock;
    EXPECT_EQ(system.AskIfAnswering(ToHandle(own.Get())), Reply::Answered);
    const milliseconds start = clock.Now();
    EXPECT_EQ(system.AskIfAnswering(ToHandle(hung.Get())), Reply::NoAnswer);
    EXPECT_LT(clock.Now() - start, milliseconds(900));
    EXPECT_TRUE(IsWindowEnabled(hung.Get())) << "nothing was asked of it but the question";
}

}  // namespace
}  // namespace kestrum::win32
