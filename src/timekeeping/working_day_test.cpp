#include "timekeeping/working_day.h"

#include <gtest/gtest.h>

#include "in_copenhagen.h"
#include "text/time_text.h"

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
        EXPECT_EQ(
            forgottenDepartureDefault(StoredArrival(QStringLiteral("07-12-2026 08:00")), c.known),
            QLatin1String(c.proposed))
            << c.known.join(u',').toStdString();
    }
}

// The box's answer: after the arrival that day; at or before it the next day, with that date,
// up to a shift of 16 hours; the rest refused with its reason. A record reads «date;arrival;
// departure;time that passed (ct)». Offsets are Copenhagen's.
TEST(ForgottenDay, OneWorkingDayFromTheArrival) {
    const testing::InCopenhagen zone;
    const auto notAClock = [](const char* typed) {
        return QStringLiteral("\"%1\" er ikke et klokkeslæt.").arg(QLatin1String(typed));
    };
    const auto before = [](const char* departure, const char* arrival) {
        return QStringLiteral("Gå-tiden %1 ligger før komme-tiden %2.")
            .arg(QLatin1String(departure), QLatin1String(arrival));
    };
    const struct {
        const char* stored;
        const char* typed;
        QString result;
    } cases[] = {
        {"07-12-2026 08:00", "16:42", QStringLiteral("07-12-2026;08:00;16:42;870")},
        {"07-12-2026 08:00", "16.42", "07-12-2026;08:00;16:42;870"},
        {"07-12-2026 08:00", " 1642 ", "07-12-2026;08:00;16:42;870"},
        {"07-12-2026 08:00", "842", "07-12-2026;08:00;08:42;70"},
        {"07-12-2026 08:00", "00:00", "08-12-2026;08:00;00:00;1600"},  // 16 hours: a night
        {"07-12-2026 08:00", "00:01", before("00:01", "08:00")},
        {"07-12-2026 08:00", "07:30", before("07:30", "08:00")},
        {"07-12-2026 08:00", "08:00", before("08:00", "08:00")},  // 24 hours
        {"07-12-2026 22:00", "01:30", "08-12-2026;22:00;01:30;350"},
        {"07-12-2026 22:00", "23:59", "07-12-2026;22:00;23:59;198"},
        {"07-12-2026 22:00", "14:00", "08-12-2026;22:00;14:00;1600"},
        {"07-12-2026 22:00", "14:01", before("14:01", "22:00")},
        {"31-12-2026 22:00", "0130", "01-01-2027;22:00;01:30;350"},
        {"24-10-2026 22:00", "06:00", "25-10-2026;22:00;06:00;900"},  // 9 hours: autumn's hour
        {"25-10-2026 01:00", "07:00", "25-10-2026;01:00;07:00;700"},
        {"07-12-2026 08:00", "25:00", notAClock("25:00")},
        {"07-12-2026 08:00", "9999", notAClock("9999")},
        {"07-12-2026 08:00", "24:00", notAClock("24:00")},
        {"07-12-2026 08:00", "16:60", notAClock("16:60")},
        {"07-12-2026 08:00", "abc", notAClock("abc")},
        {"07-12-2026 08:00", "9", notAClock("9")},  // 00:09 where 9 o'clock was meant
        {"07-12-2026 08:00", "16:42:00", notAClock("16:42:00")},
        {"07-12-2026 08:00", "", "Skriv gå-tiden, eller vælg Annuller for at springe dagen over."},
        {"07-12-2026 08:00", " ", "Skriv gå-tiden, eller vælg Annuller for at springe dagen over."},
        {"07-12-åååå 22:00", "23:00", "07-12-åååå;22:00;23:00;100"},  // no date: that day only
        {"07-12-åååå 22:00", "01:30", before("01:30", "22:00")},
    };
    const QDateTime now(QDate(2026, 12, 8), QTime(9, 0));
    for (const auto& c : cases) {
        const auto day =
            forgottenDay(StoredArrival(QString::fromUtf8(c.stored)), QLatin1String(c.typed),
                         QStringLiteral("dd-MM-yyyy"), std::nullopt, now);
        const QString result = day.ok()
                                   ? QStringLiteral("%1;%2;%3;%4")
                                         .arg(day->date, Formater_Tid(Omregn_Til_Tid(day->kommeCT)),
                                              Formater_Tid(Omregn_Til_Tid(day->gaaCT)))
                                         .arg(day->gaaCT - day->kommeCT + day->shift)
                                   : day.error();
        EXPECT_EQ(result, c.result) << c.stored << " / " << c.typed;
    }
    // A night's date in the user's pattern; the arrival's offset as the window kept it.
    const auto night = forgottenDay(StoredArrival(QStringLiteral("31.12.26 22:00")),
                                    QStringLiteral("1.30"), QStringLiteral("dd.MM.yy"), 7200, now);
    ASSERT_TRUE(night.ok());
    EXPECT_EQ(night->date + u' ' + QString::number(night->shift), QStringLiteral("01.01.27 2500"));
}

// A departure the window refuses: before the arrival on the same date, or more than a day after.
TEST(DepartureRefusal, NoNegativeDayAndNoDayAndAHalf) {
    const struct {
        std::int32_t komme, gaa, shift;
        const char* refusal;
    } cases[] = {
        {800, 600, 0, "Gå-tiden 06:00 ligger før komme-tiden 08:00."},
        {747, 447, 0, "Gå-tiden 04:28 ligger før komme-tiden 07:28."},  // a clock set back
        {800, 800, 0, ""},
        {2200, 150, 2400, ""},  // a night
        {250, 217, 100, ""},    // autumn's second pass
        {800, 2500, 0, ""},     // 25:00 for 01:00
        {800, 3200, 0, ""},     // a whole day
        {800, 3202, 0, "Gå-tiden 32:01 ligger mere end et døgn efter komme-tiden 08:00."},
        {800, 10065, 0, "Gå-tiden 100:39 ligger mere end et døgn efter komme-tiden 08:00."},
    };
    for (const auto& c : cases) {
        EXPECT_EQ(departureRefusal(c.komme, c.gaa, c.shift).value_or(QString()),
                  QString::fromUtf8(c.refusal))
            << c.komme << " " << c.gaa;
    }
}

TEST(HoursReachedText, TheDailyHoursAsAClockReadsThem) {
    EXPECT_EQ(hoursReachedText(7.4f),
              QStringLiteral("7:24 arbejdet. Husk at registrere gå-tid, når du går."));
    EXPECT_EQ(hoursReachedText(10.25f).left(6), QStringLiteral("10:15 "));
}

}  // namespace
}  // namespace horalog
