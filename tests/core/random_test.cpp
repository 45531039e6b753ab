#include "core/random.h"

#include <gtest/gtest.h>

#include <set>

#include "core/format_now.h"

namespace {

TEST(RandomBetween, BoundsRules) {
    for (int i = 0; i < 200; ++i) {
        const auto v = RandomBetween(7, 3);  // reversed
        EXPECT_GE(v, 3);
        EXPECT_LE(v, 7);
        EXPECT_EQ(RandomBetween(-5, -1), 0);  // both negative count as 0
        const auto w = RandomBetween(-5, 2);
        EXPECT_GE(w, 0);
        EXPECT_LE(w, 2);
    }
}

TEST(NoRepeatPicker, EveryNumberOnceThenStartsOver) {
    NoRepeatPicker picker;
    for (int round = 0; round < 3; ++round) {
        std::set<int> seen;
        for (int i = 0; i < 10; ++i) seen.insert(picker.Draw(1, 10));
        EXPECT_EQ(seen.size(), 10u);
        EXPECT_EQ(*seen.begin(), 1);
        EXPECT_EQ(*seen.rbegin(), 10);
        EXPECT_EQ(picker.Remaining(), 0u);
    }
    picker.Draw(0, 4);
    picker.Reset();
    EXPECT_EQ(picker.Remaining(), 0u);
}

TEST(FormatNow, ZeroPadded) {
    std::tm tm{};
    tm.tm_year = 2026 - 1900;
    tm.tm_mon = 0;
    tm.tm_mday = 5;
    tm.tm_hour = 7;
    tm.tm_min = 3;
    tm.tm_sec = 9;
    tm.tm_isdst = -1;
    const auto when = std::chrono::system_clock::from_time_t(std::mktime(&tm));
    EXPECT_EQ(FormatNow(TimeFormat::DateTime, when), "2026-01-05 07:03:09");
    EXPECT_EQ(FormatNow(TimeFormat::Date, when), "2026-01-05");
    EXPECT_EQ(FormatNow(TimeFormat::Time, when), "07:03:09");
}

}  // namespace
