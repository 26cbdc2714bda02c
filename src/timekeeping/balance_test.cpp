#include "timekeeping/balance.h"

#include <gtest/gtest.h>

#include <tuple>

namespace horalog {
namespace {

const LunchRule kOn{true, 50, 450};
const LunchRule kOff{false, 50, 450};

// At the lunch threshold at 12:30, one below it at 12:29 from 799; lunch off a day below zero too.
TEST(WorkedSoFar, RunningDisplay) {
    // clang-format off
    const std::tuple<std::int32_t, const char16_t*, LunchRule, std::optional<std::int32_t>> cases[] = {
        {800, u"16:30", kOn, 800}, {800, u"07:30", kOn, -100}, {800, u"08:00", kOn, 0},
        {800, u"16:30", kOff, 850}, {800, u"", kOff, -800}, {800, u"12:30", kOn, 400},
        {799, u"12:29", kOn, 449}, {800, u"99999999999", kOn, {}},
        {2147483598, u"00:00", kOn, -2147483647 - 1}};  // the least that fits
    // clang-format on
    for (const auto& [komme, gaa, lunch, net] : cases) {
        EXPECT_EQ(workedSoFar(komme, QString::fromUtf16(gaa), 10, lunch), net)
            << komme << " " << QString::fromUtf16(gaa).toStdString();
    }
    // The latest departure that reads, from an arrival the day before: beyond 32 bits.
    EXPECT_EQ(workedSoFar(0, u"2147483628", 10, kOff, 2400), std::nullopt);
}

// Figures beyond their columns refused (tid, days 16 bits, sums 32); the surplus half to even.
TEST(CloseDay, Cases) {
    using Row = std::tuple<Figures, std::int32_t, std::int32_t, LunchRule,
                           std::optional<std::int16_t>, Figures>;
    const Row cases[] = {
        {{3, 2220, 125}, 800, 1650, kOn, 800, {4, 3020, 185}},  // the worked example
        {{0, 0, 0}, 800, 900, kOn, 50, {1, 50, -690}},          // short day: lunch all the same
        {{0, 0, 0}, 800, 750, kOff, -50, {1, -50, -790}},       // departure before arrival
        {{2, 100, 0}, 0, 740, kOff, 740, {3, 840, 0}},          // 740 - 740.0000095 rounds to 0
        {{0, 0, 0}, 0, 32767, kOff, 32767, {1, 32767, 32027}},  // the column's last
        {{0, 0, 0}, 0, 32768, kOff, {}, {}},
        {{32766, 0, 0}, 800, 1650, kOn, 800, {32767, 800, 60}},
        {{32767, 0, 0}, 800, 1650, kOn, {}, {}},
        {{0, 2147483000, 0}, 0, 1000, kOff, {}, {}},
        {{0, 0, -2147483000}, 0, 0, kOff, {}, {}}};
    for (const auto& [before, komme, gaa, lunch, tid, after] : cases) {
        const auto day = closeDay(before, komme, gaa, lunch, 7.4f);
        EXPECT_EQ(std::pair(day ? std::optional(day->tid) : std::nullopt,
                            day.value_or(ClosedDay{}).after),
                  std::pair(tid, after))
            << komme << "-" << gaa;
    }
    const std::tuple<Figures, float, std::int64_t> surplus[] = {{{3, 2250, 0}, 7.4f, 30},
                                                                {{3, 2200, 0}, 7.4f, -20},
                                                                {{1, 750, 0}, 7.125f, 38},
                                                                {{1, 751, 0}, 7.125f, 38},
                                                                {{0, -365, 0}, 7.4f, -365}};
    for (const auto& [figures, hours, expected] : surplus) {
        EXPECT_EQ(periodSurplus(figures, hours), expected) << figures.sum << " / " << hours;
    }
}

}  // namespace
}  // namespace horalog
