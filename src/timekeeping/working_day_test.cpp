#include "timekeeping/working_day.h"

#include <gtest/gtest.h>

namespace horalog {
namespace {

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
