// The timers, and the questions and requests that never wait for another
// thread, on real windows: what keeps Kestrum answering beside a client that
// does not.
#include "winsys/win32/win32_timers.h"

#include <gtest/gtest.h>

#include <chrono>
#include <stdexcept>
#include <vector>

#include "win32_fixture.h"
#include "winsys/win32/win32_window_system.h"

namespace kestrum::win32 {
namespace {

using std::chrono::milliseconds;

void RunLoop() {
    MSG message;
    while (GetMessageW(&message, nullptr, 0, 0) > 0) DispatchMessageW(&message);
}

TEST(Win32TimersTest, CallbacksRunFromTheLoopInTheirOrderAndACancelledOneNever) {
    Win32Timers timers;
    std::vector<int> ran;
    const milliseconds start = timers.Now();
    timers.After(milliseconds(60), [&] { ran.push_back(2); });
    timers.After(milliseconds(0), [&] { ran.push_back(0); });
    const Timers::Id cancelled = timers.After(milliseconds(30), [&] { ran.push_back(99); });
    ASSERT_NE(timers.After(milliseconds(20), [&] {
        ran.push_back(1);
        // One started from a callback runs too.
        timers.After(milliseconds(80), [&] {
            ran.push_back(3);
            PostQuitMessage(0);
        });
    }), 0u) << "no timer could be made";
    timers.Cancel(cancelled);
    EXPECT_TRUE(ran.empty()) << "nothing runs from inside After";
    RunLoop();
    EXPECT_EQ(ran, (std::vector<int>{0, 1, 2, 3}));
    EXPECT_GE(timers.Now() - start, milliseconds(90));
    EXPECT_LT(timers.Now() - start, milliseconds(2000));
}

TEST(Win32TimersTest, ACallbackThatFailsEndsTheLoopAndIsThrownOnAfterIt) {
    Win32Timers timers;
    bool later = false;
    timers.After(milliseconds(10), [] { throw std::runtime_error("out of memory"); });
    timers.After(milliseconds(500), [&] { later = true; });
    RunLoop();
    EXPECT_THROW(timers.RethrowFailure(), std::runtime_error);
    EXPECT_FALSE(later);
}

// A window whose thread stops handling messages, as a hung client's does,
// until it is woken; then it handles them again.
class HungWindow {
public:
    HungWindow() {
        ready_ = CreateEventW(nullptr, TRUE, FALSE, nullptr);
        wake_ = CreateEventW(nullptr, TRUE, FALSE, nullptr);
        end_ = CreateEventW(nullptr, TRUE, FALSE, nullptr);
        thread_ = CreateThread(nullptr, 0, &HungWindow::Run, this, 0, nullptr);
        WaitForSingleObject(ready_, 5000);
    }
    ~HungWindow() {
        SetEvent(wake_);
        SetEvent(end_);
        WaitForSingleObject(thread_, 5000);
        for (const HANDLE h : {ready_, wake_, end_, thread_}) CloseHandle(h);
    }
    HWND Get() const { return window_; }
    void Wake() { SetEvent(wake_); }

private:
    static DWORD WINAPI Run(void* self) {
        auto& hung = *static_cast<HungWindow*>(self);
        hung.window_ = testing::MakeWindow(L"STATIC", L"hung", nullptr, {0, 0, 50, 50}, WS_POPUP);
        SetEvent(hung.ready_);
        WaitForSingleObject(hung.wake_, 10000);  // not a message handled meanwhile
        while (MsgWaitForMultipleObjects(1, &hung.end_, FALSE, 10000, QS_ALLINPUT) == WAIT_OBJECT_0 + 1) {
            testing::Pump();
        }
        if (hung.window_ != nullptr) DestroyWindow(hung.window_);
        return 0;
    }

    HANDLE ready_;
    HANDLE wake_;
    HANDLE end_;
    HANDLE thread_;
    HWND window_ = nullptr;
};

TEST(Win32WindowSystemTest, AQuestionAndARequestToAHungWindowWaitForNothing) {
    const UniqueWindow own(testing::MakeWindow(L"STATIC", L"", nullptr, {0, 0, 10, 10}, WS_POPUP));
    if (own.Get() == nullptr) GTEST_SKIP() << "no windows can be made here (no display?)";
    HungWindow hung;
    ASSERT_NE(hung.Get(), nullptr);
    Win32WindowSystem system;
    Win32Timers timers;
    const milliseconds start = timers.Now();
    const auto probe = system.ProbeAnswering(ToHandle(hung.Get()));
    system.RequestEnable(ToHandle(hung.Get()), false);
    EXPECT_LT(timers.Now() - start, milliseconds(200)) << "neither waits for the window";
    testing::PumpUntil([] { return false; });
    EXPECT_EQ(probe->Heard(), Reply::NoAnswer);

    hung.Wake();
    EXPECT_TRUE(testing::PumpUntil([&] { return probe->Heard() == Reply::Answered; }));
    EXPECT_TRUE(testing::PumpUntil([&] { return !IsWindowEnabled(hung.Get()); })) << "handled once awake";
}

}  // namespace
}  // namespace kestrum::win32
