#include "timekeeping/working_day.h"

#include <gtest/gtest.h>

#include "in_copenhagen.h"

namespace horalog {
namespace {

// The first minute at which the running figure, less the lunch, reaches the daily hours: across
// midnight and both daylight-saving days the time that really passed counts.
TEST(HoursReachedAt, TheFirstMinuteThatCounts) {
    const testing::InCopenhagen zone;
    const struct {
        QDate date;
        std::int32_t arrival;  // hhmm
        float hours;
        std::int16_t lunch;  // 0: the deduction is off
        const char* reached;
    } cases[] = {
        {QDate(2026, 12, 8), 732, 7.4f, 50, "2026-12-08 15:26"},
        {QDate(2026, 12, 8), 732, 7.4f, 0, "2026-12-08 14:56"},
        {QDate(2026, 12, 8), 805, 7.5f, 30, "2026-12-08 15:53"},
        {QDate(2026, 12, 7), 2200, 7.4f, 50, "2026-12-08 05:54"},  // past midnight
        {QDate(2026, 10, 25), 100, 7.4f, 50, "2026-10-25 07:54"},  // an hour repeated
        {QDate(2026, 3, 29), 100, 7.4f, 50, "2026-03-29 09:54"},   // an hour skipped
        {QDate(2026, 12, 8), 732, 0.0f, 0, "2026-12-08 07:32"},
    };
    for (const auto& c : cases) {
        const QDateTime arrival(c.date, QTime(c.arrival / 100, c.arrival % 100));
        const auto at = hoursReachedAt(c.date, c.arrival, arrival.offsetFromUtc(), c.hours,
                                       {c.lunch != 0, c.lunch, 450});
        ASSERT_TRUE(at) << c.reached;
        EXPECT_EQ(at->toString(u"yyyy-MM-dd HH:mm"), QLatin1String(c.reached));
    }
    EXPECT_FALSE(hoursReachedAt(QDate(2026, 12, 8), 2500, 3600, 7.4f, {}));  // no clock time
    EXPECT_FALSE(hoursReachedAt(QDate(), 800, 3600, 7.4f, {}));
}

// The departure proposed: the latest moment known in use on the arrival's date after it.
TEST(ForgottenDepartureDefault, TheLatestMomentOfThatDay) {
    const struct {
        QStringList known;
        const char* proposed;
    } cases[] = {
        {{}, ""},
        {{"07-12-2026 16:42"}, "16:42"},
        {{"07-12-2026 12:10", "07-12-2026 16:42"}, "16:42"},
        {{"07-12-2026 16:42", "07-12-2026 12:10"}, "16:42"},
        {{"06-12-2026 16:42"}, ""},  // another day's
        {{"07-12-2026 08:00"}, ""},  // not after the arrival
        {{"07-12-2026 9e99"}, ""},   // no time of day
        {{"07-12-2026"}, ""},
    };
    for (const auto& c : cases) {
        EXPECT_EQ(forgottenDepartureDefault(QStringLiteral("07-12-2026 08:00"), c.known),
                  QLatin1String(c.proposed))
            << c.known.join(u',').toStdString();
    }
}

TEST(HoursReachedText, TheDailyHoursAsAClockReadsThem) {
    EXPECT_EQ(hoursReachedText(7.4f),
              QStringLiteral("7:24 arbejdet. Husk at registrere gå-tid, når du går."));
    EXPECT_EQ(hoursReachedText(10.25f).left(6), QStringLiteral("10:15 "));
}

}  // namespace
}  // namespace horalog
