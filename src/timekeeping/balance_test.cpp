#include "timekeeping/balance.h"

#include <gtest/gtest.h>

namespace horalog {
namespace {

const LunchRule kLunchOn{true, 50, 450};
const LunchRule kLunchOff{false, 50, 450};

TEST(FrokostFradrag, Rule) {
    const struct {
        std::int32_t t;
        LunchRule lunch;
        std::int32_t deducted;
    } cases[] = {{-1, kLunchOn, 50},  {0, kLunchOn, 0},    {449, kLunchOn, 0}, {450, kLunchOn, 50},
                 {-50, kLunchOn, 50}, {850, kLunchOff, 0}, {-1, kLunchOff, 0}};
    for (const auto& c : cases) {
        EXPECT_EQ(Frokost_Fradrag(c.t, c.lunch), c.deducted) << c.t;
    }
}

TEST(WorkedSoFar, RunningDisplay) {
    const struct {
        const char16_t* text;
        LunchRule lunch;
        std::int32_t net;
    } cases[] = {
        {u"16:30", kLunchOn, 800},
        {u"12:00", kLunchOn, 400},
        {u"07:30", kLunchOn, -100},
        {u"16:30", kLunchOff, 850},
        {u"", kLunchOff, -800},
        {u"12:30", kLunchOn, 450 - 50},  // gross exactly at the threshold
    };
    for (const auto& c : cases) {
        EXPECT_EQ(workedSoFar(800, QString::fromUtf16(c.text), 10, c.lunch), c.net);
    }
    // 449 gross: 12:29 is 1248 ct, arrival 799.
    EXPECT_EQ(workedSoFar(799, u"12:29", 10, kLunchOn), 449);
    EXPECT_FALSE(workedSoFar(800, u"99999999999", 10, kLunchOn).has_value());
    EXPECT_FALSE(workedSoFar(-2147483647, u"21474835:99", 10, kLunchOn).has_value());
}

TEST(CloseDay, Cases) {
    const struct {
        Figures before;
        std::int32_t komme, gaa;
        LunchRule lunch;
        std::int16_t tid;
        Figures after;
    } cases[] = {
        {{3, 2220, 125}, 800, 1650, kLunchOn, 800, {4, 3020, 185}},  // the worked example
        {{0, 0, 0}, 800, 1650, kLunchOn, 800, {1, 800, 60}},
        {{0, 0, 0}, 800, 900, kLunchOn, 50, {1, 50, -690}},  // short day: lunch all the same
        {{0, 0, 0}, 800, 1650, kLunchOff, 850, {1, 850, 110}},
        {{0, 0, 0}, 800, 750, kLunchOff, -50, {1, -50, -790}},  // departure before arrival
        {{0, 0, 0}, 800, 750, kLunchOn, -100, {1, -100, -840}},
        {{2, 100, 0}, 0, 740, kLunchOff, 740, {3, 840, 0}},  // 740 - 740.0000095 rounds to 0
        {{2, 100, 0}, 0, 750, kLunchOff, 750, {3, 850, 10}}};
    for (const auto& c : cases) {
        const auto day = closeDay(c.before, c.komme, c.gaa, c.lunch, 7.4f);
        ASSERT_TRUE(day.has_value());
        EXPECT_EQ(day->tid, c.tid);
        EXPECT_EQ(day->after, c.after) << c.komme << "-" << c.gaa;
    }
}

TEST(CloseDay, FiguresBeyondTheirColumnsAreRefused) {
    EXPECT_TRUE(closeDay({0, 0, 0}, 0, 32767, kLunchOff, 7.4f).has_value());
    EXPECT_FALSE(closeDay({0, 0, 0}, 0, 32768, kLunchOff, 7.4f).has_value());
    EXPECT_FALSE(closeDay({0, 0, 0}, 32800, 0, kLunchOff, 7.4f).has_value());
    EXPECT_TRUE(closeDay({32766, 0, 0}, 800, 1650, kLunchOn, 7.4f).has_value());
    EXPECT_FALSE(closeDay({32767, 0, 0}, 800, 1650, kLunchOn, 7.4f).has_value());
    EXPECT_FALSE(closeDay({0, 2147483000, 0}, 0, 1000, kLunchOff, 7.4f).has_value());
    EXPECT_FALSE(closeDay({0, 0, -2147483000}, 0, 0, kLunchOff, 7.4f).has_value());
}

TEST(PeriodSurplus, Rounding) {
    const struct {
        Figures figures;
        float hours;
        std::int64_t surplus;
    } cases[] = {{{3, 2250, 0}, 7.4f, 30},  {{3, 2200, 0}, 7.4f, -20}, {{3, 2220, 0}, 7.4f, 0},
                 {{1, 750, 0}, 7.125f, 38}, {{1, 751, 0}, 7.125f, 38}, {{4, 3020, 0}, 7.4f, 60},
                 {{0, -365, 0}, 7.4f, -365}};
    for (const auto& c : cases) {
        EXPECT_EQ(periodSurplus(c.figures, c.hours), c.surplus);
    }
}

TEST(TakeTimeOff, RoundsHalfToEven) {
    EXPECT_EQ(takeTimeOff({12, 8770, 375}, 740.0f), (Figures{12, 8030, -365}));
    EXPECT_EQ(takeTimeOff({0, 100, 101}, 12.5f), (Figures{0, 88, 88}));
    EXPECT_EQ(takeTimeOff({0, 100, 100}, 13.5f), (Figures{0, 86, 86}));
    EXPECT_EQ(takeTimeOff({0, 0, 0}, -200.0f), (Figures{0, 200, 200}));
    EXPECT_FALSE(takeTimeOff({0, -2147483000, 0}, 1000.0f).has_value());
}

}  // namespace
}  // namespace horalog
