#include "timekeeping/balance.h"

#include <gtest/gtest.h>

namespace horalog {
namespace {

const LunchRule kOn{true, 50, 450};
const LunchRule kOff{false, 50, 450};

// Arrival 08:00 (800 ct); gross exactly at the lunch threshold at 12:30, one below at 12:29 from
// 799; lunch is deducted from a day below zero too, and not from one of nothing.
TEST(WorkedSoFar, RunningDisplay) {
    const char16_t* gaa[] = {u"16:30", u"12:00", u"07:30", u"08:00",
                             u"16:30", u"",      u"12:30", u"99999999999"};
    const LunchRule lunch[] = {kOn, kOn, kOn, kOn, kOff, kOff, kOn, kOn};
    const std::optional<std::int32_t> net[] = {800, 400, -100, 0, 850, -800, 400, {}};
    for (std::size_t i = 0; i < std::size(gaa); ++i) {
        EXPECT_EQ(workedSoFar(800, QString::fromUtf16(gaa[i]), 10, lunch[i]), net[i]) << i;
    }
    EXPECT_EQ(workedSoFar(799, u"12:29", 10, kOn), 449);
    EXPECT_EQ(workedSoFar(2147483598, u"00:00", 10, kOn), -2147483647 - 1);  // the least that fits
}

// Figures that leave their columns (the day's tid 16 bits, the day count, the sums 32 bits) are
// refused.
TEST(CloseDay, Cases) {
    const struct {
        Figures before;
        std::int32_t komme, gaa;
        LunchRule lunch;
        std::optional<std::int16_t> tid;
        Figures after;
    } cases[] = {{{3, 2220, 125}, 800, 1650, kOn, 800, {4, 3020, 185}},  // the worked example
                 {{0, 0, 0}, 800, 900, kOn, 50, {1, 50, -690}},     // short day: lunch all the same
                 {{0, 0, 0}, 800, 750, kOff, -50, {1, -50, -790}},  // departure before arrival
                 {{2, 100, 0}, 0, 740, kOff, 740, {3, 840, 0}},     // 740 - 740.0000095 rounds to 0
                 {{2, 100, 0}, 0, 750, kOff, 750, {3, 850, 10}},
                 {{0, 0, 0}, 0, 32767, kOff, 32767, {1, 32767, 32027}},  // the column's last
                 {{0, 0, 0}, 0, 32768, kOff, {}, {}},
                 {{32766, 0, 0}, 800, 1650, kOn, 800, {32767, 800, 60}},
                 {{32767, 0, 0}, 800, 1650, kOn, {}, {}},
                 {{0, 2147483000, 0}, 0, 1000, kOff, {}, {}},
                 {{0, 0, -2147483000}, 0, 0, kOff, {}, {}}};
    for (const auto& c : cases) {
        const auto day = closeDay(c.before, c.komme, c.gaa, c.lunch, 7.4f);
        EXPECT_EQ(day.has_value(), c.tid.has_value()) << c.komme << "-" << c.gaa;
        EXPECT_EQ(day.value_or(ClosedDay{c.after, 0}).tid, c.tid.value_or(0));
        EXPECT_EQ(day.value_or(ClosedDay{c.after, 0}).after, c.after) << c.komme << "-" << c.gaa;
    }
}

// The period against the daily hours, half to even: 37.5 and 38.5 both give 38.
TEST(PeriodSurplus, Rounding) {
    const Figures figures[] = {{3, 2250, 0}, {3, 2200, 0}, {1, 750, 0}, {1, 751, 0}, {0, -365, 0}};
    const float hours[] = {7.4f, 7.4f, 7.125f, 7.125f, 7.4f};
    const std::int64_t surplus[] = {30, -20, 38, 38, -365};
    for (std::size_t i = 0; i < std::size(figures); ++i) {
        EXPECT_EQ(periodSurplus(figures[i], hours[i]), surplus[i]) << i;
    }
}

}  // namespace
}  // namespace horalog
