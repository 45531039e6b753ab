#include "core/platform/shutdown.h"

#include <gtest/gtest.h>

#include "core/clock.h"
#include "run/shutdown_countdown.h"
#include "run_test_support.h"

namespace {

TEST(ShutdownCountdown, CountsThirtyDownThenShutsDownOnce) {
    int requests = 0;
    std::vector<std::string> labels;
    std::size_t labelsAtRequest = 0;
    ShutdownCountdown countdown([&] {
        ++requests;
        labelsAtRequest = labels.size();
        return false;  // refused: the window stays at 0
    });
    EXPECT_EQ(Utf8(countdown.LabelText()), "距离关机还有 30 秒");
    EXPECT_EQ(Utf8(ShutdownCountdown::Title()), "更新完毕，准备关机..");
    const auto start = clock_::TickMs();
    while (countdown.TimerRunning())
        countdown.Tick([&] { labels.push_back(Utf8(countdown.LabelText())); });
    ASSERT_EQ(labels.size(), 30u);
    EXPECT_EQ(labelsAtRequest, 30u);  // "0 秒" was shown before the request went out
    EXPECT_EQ(labels.front(), "距离关机还有 29 秒");
    EXPECT_EQ(labels.back(), "距离关机还有 0 秒");
    EXPECT_EQ(requests, 1);
    EXPECT_GE(clock_::TickMs() - start, 490);  // the half-second pause before the request
    countdown.Tick();                          // the timer is stopped: nothing more
    EXPECT_EQ(requests, 1);
    EXPECT_EQ(countdown.Remaining(), 0);
}

// Ticks are due on the clock from the opening, whenever the previous one ran: a host that
// waits for NextTickDueMs shuts down 30.5 s after the window opened, not 30 × its lateness.
TEST(ShutdownCountdown, TicksAreDueOnTheClockFromTheOpening) {
    const auto before = clock_::TickMs();
    ShutdownCountdown countdown([] { return false; });
    const auto first = countdown.NextTickDueMs();
    EXPECT_GE(first, before + 1000);
    EXPECT_LE(first, clock_::TickMs() + 1000);
    WaitMs(30);  // a late tick
    countdown.Tick();
    EXPECT_EQ(countdown.NextTickDueMs(), first + 1000);
    countdown.Tick();
    EXPECT_EQ(countdown.NextTickDueMs(), first + 2000);
}

// 停止关机！ clicked in the half second after "0 秒" shows: no shutdown follows.
TEST(ShutdownCountdown, StopInTheLastHalfSecondPreventsTheShutdown) {
    int requests = 0;
    ShutdownCountdown countdown([&] { return ++requests, false; });
    while (countdown.Remaining() > 1) countdown.Tick();
    bool clicked = false;
    SetPumpEventsHook([&] {
        if (!clicked) {
            clicked = true;
            countdown.StopClicked();
        }
    });
    countdown.Tick();
    SetPumpEventsHook({});
    EXPECT_TRUE(clicked);
    EXPECT_TRUE(countdown.Stopped());
    EXPECT_EQ(requests, 0);
}

TEST(ShutdownCountdown, StopAndImmediate) {
    int requests = 0;
    ShutdownCountdown stopped([&] { return ++requests, false; });
    stopped.Tick();
    EXPECT_EQ(Utf8(stopped.StopClicked()), "已停止关机倒计时！");
    stopped.Tick();
    EXPECT_EQ(stopped.Remaining(), 29);
    EXPECT_EQ(requests, 0);
    ShutdownCountdown now([&] { return ++requests, true; });
    now.ShutdownNowClicked();
    EXPECT_EQ(requests, 1);
    EXPECT_TRUE(now.ShutdownRequested());
}

TEST(ShutdownPlatform, GuardRefusesAndReplacementIsUsed) {
    ASSERT_TRUE(kNoShutdownGuard);
    int calls = 0;
    platform::SetShutdownActionForTesting([&] { return ++calls, true; });
    EXPECT_TRUE(platform::ShutdownNow());
    EXPECT_EQ(calls, 1);
    // Without a replacement the environment guard refuses: the system is never asked.
    platform::SetShutdownActionForTesting({});
    EXPECT_FALSE(platform::ShutdownNow());
    platform::SetShutdownActionForTesting([] { return false; });
}

}  // namespace
