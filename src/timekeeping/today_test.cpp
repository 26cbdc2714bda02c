#include "timekeeping/today.h"

#include <gtest/gtest.h>

namespace horalog {
namespace {

TEST(ProposedArrival, FromTheSystemStart) {
    const struct {
        std::int64_t uptimeMs;
        const char* proposal;
    } cases[] = {
        {36000000 - 3599600, "01:00"},   // started at 00:59:59.6: rounds to 01:00:00
        {36000000 - 3599400, "00:59"},   // 00:59:59.4: rounds down, seconds dropped
        {36000000 - 27770000, "07:42"},  // 07:42:50
        {36000000, "00:00"},             // started at midnight exactly
        {36000001, "00:00"},             // running since before midnight
    };
    for (const auto& c : cases) {
        EXPECT_EQ(proposedArrival(QTime(10, 0, 0), c.uptimeMs), QLatin1String(c.proposal));
    }
    EXPECT_EQ(proposedArrival(QTime(10, 1, 2), 62000), QStringLiteral("10:00"));
}

TEST(CheckDatePattern, DayFirstYearLast) {
    const struct {
        const char16_t* pattern;
        int length;
        bool accepted;
        const char16_t* shown;
    } cases[] = {
        {u"dd-MM-yyyy", 10, true, u"dd-MM-yyyy"},  {u"dd-MM-yy", 8, true, u"dd-MM-yy"},
        {u"dd-MM-åååå", 10, true, u"dd-MM-yyyy"},  {u"DD.MM.YYYY", 10, true, u"DD.MM.YYYY"},
        {u"d-M-yyyy", 8, false, u"d-M-yyyy"},      {u"yyyy-MM-dd", 10, false, u"yyyy-MM-dd"},
        {u"MM/dd/yyyy", 10, false, u"MM/dd/yyyy"}, {u"dd-MM-y", 7, false, u"dd-MM-y"}};
    for (const auto& c : cases) {
        const DatePattern p = checkDatePattern(QString::fromUtf16(c.pattern));
        EXPECT_EQ(p.length, c.length);
        EXPECT_EQ(p.accepted, c.accepted) << QString::fromUtf16(c.pattern).toStdString();
        EXPECT_EQ(p.shown, QString::fromUtf16(c.shown));
    }
}

TEST(DateTimeText, PatternLettersQtKnows) {
    const QDate date(2026, 12, 5);
    EXPECT_EQ(dateTimeText(date, QStringLiteral("dd-MM-yyyy"), QStringLiteral("08:00:00")),
              QStringLiteral("05-12-2026 08:00:00"));
    EXPECT_EQ(dateTimeText(date, QStringLiteral("DD.MM.ÅÅ"), QStringLiteral("8.00.00")),
              QStringLiteral("05.12.26 8.00.00"));
}

TEST(StoredArrival, KindAndQuestion) {
    const QString today = QStringLiteral("05-12-2026");
    EXPECT_EQ(storedArrivalKind(QStringLiteral(" "), today, 10), StoredArrival::None);
    EXPECT_EQ(storedArrivalKind(QStringLiteral("05-12-2026 8:1"), today, 10), StoredArrival::Today);
    EXPECT_EQ(storedArrivalKind(QStringLiteral("05-12-2026 8:"), today, 10), StoredArrival::None);
    EXPECT_EQ(storedArrivalKind(QStringLiteral("04-12-2026 08:15"), today, 10),
              StoredArrival::OtherDay);
    EXPECT_EQ(otherDayQuestion(QStringLiteral("04-12-2026 08:15")),
              QStringLiteral("Der er registreret et komme-tidspunkt for en anden dag.\r\n"
                             "Dato: 04-12-2026  Tid: 08:15\r\n\r\nSkal denne registrering "
                             "anvendes ?"));
}

TEST(TodayTexts, RunningDisplay) {
    const LunchRule lunch{true, 50, 450};
    const auto t = todayTexts(800, QStringLiteral("16:30"), 10, lunch);
    ASSERT_TRUE(t.has_value());
    EXPECT_EQ(t->ct, QStringLiteral("800 ct "));
    EXPECT_EQ(t->tm, QStringLiteral("08:00 "));
    EXPECT_EQ(t->caption, QStringLiteral("Horalogs registrering - 800 ct "));
    EXPECT_EQ(todayTexts(800, QStringLiteral("07:30"), 10, lunch)->tm, QStringLiteral("-1:00 "));
    EXPECT_FALSE(todayTexts(800, QStringLiteral("99999999999"), 10, lunch).has_value());
}

TEST(BalanceTexts, Labels) {
    const BalanceTexts t = balanceTexts({4, 3020, 185}, 7.4f);
    EXPECT_EQ(t.total, QStringLiteral("185 ct "));
    EXPECT_EQ(t.period, QStringLiteral("3020 ct "));
    EXPECT_EQ(t.diff, QStringLiteral("60 ct "));
}

TEST(TypedTime, ArrivalAndDeparture) {
    const auto t = readTypedTime(QStringLiteral("08:15"), 10);
    ASSERT_TRUE(t.has_value());
    EXPECT_EQ(t->hhmm, 815);
    EXPECT_EQ(t->ct, 825);
    EXPECT_EQ(arrivalStatus(*t), QStringLiteral("Komme tidspunkt 08:15 (825 ct) registreret"));
    EXPECT_FALSE(readTypedTime(QStringLiteral("99999999999"), 10).has_value());
    EXPECT_EQ(storedArrivalText(QStringLiteral("05-12-2026 09:01:02"), 10, 825),
              QStringLiteral("05-12-2026 08:15"));
    EXPECT_EQ(departureStatus(800), QStringLiteral("Arbejdstid idag: 08:00  (800 ct)"));
    EXPECT_EQ(departureStatus(-100), QStringLiteral("Arbejdstid idag: -1:00  (-100 ct)"));
}

TEST(LeavingClearsToday, ZeroOrNoDay) {
    EXPECT_TRUE(leavingClearsToday(false, QStringLiteral("16:30")));
    EXPECT_TRUE(leavingClearsToday(true, QStringLiteral("00:30")));
    EXPECT_TRUE(leavingClearsToday(true, QString()));
    EXPECT_FALSE(leavingClearsToday(true, QStringLiteral("16:30")));
}

}  // namespace
}  // namespace horalog
