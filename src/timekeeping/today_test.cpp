#include "timekeeping/today.h"

#include "timekeeping/date_pattern.h"

#include <gtest/gtest.h>

namespace horalog {
namespace {

TEST(ProposedArrival, FromTheSystemStart) {
    const std::pair<std::int64_t, const char*> cases[] = {
        {36000000 - 3599600, "01:00"},  // started at 00:59:59.6: rounds to 01:00:00
        {36000000 - 3599400, "00:59"},  // 00:59:59.4: rounds down, seconds dropped
        {36000001, "00:00"}};           // running since before midnight
    for (const auto& [uptime, proposal] : cases) {
        EXPECT_EQ(proposedArrival(QTime(10, 0, 0), uptime), QLatin1String(proposal));
    }
    EXPECT_EQ(proposedArrival(QTime(10, 1, 2), 62000), QStringLiteral("10:00"));  // seconds count
}

TEST(CheckDatePattern, DayFirstYearLast) {
    const struct {
        const char16_t* pattern;
        int length;
        bool accepted;
    } cases[] = {{u"dd-MM-yyyy", 10, true}, {u"dd-MM-yy", 8, true},  {u"dd-MM-åååå", 10, true},
                 {u"DD.MM.YYYY", 10, true}, {u"d-M-yyyy", 8, false}, {u"dd-MM-y", 7, false}};
    for (const auto& c : cases) {
        const DatePattern p = checkDatePattern(QString::fromUtf16(c.pattern));
        EXPECT_EQ(p.length, c.length);
        EXPECT_EQ(p.accepted, c.accepted) << QString::fromUtf16(c.pattern).toStdString();
    }
    EXPECT_EQ(checkDatePattern(QStringLiteral("dd-MM-ÅÅÅÅ")).shown, QStringLiteral("dd-MM-yyyy"));
    EXPECT_EQ(dateTimeText(QDate(2026, 12, 5), QStringLiteral("DD.MM.ÅÅ"), QStringLiteral("8.00")),
              QStringLiteral("05.12.26 8.00"));
}

}  // namespace
}  // namespace horalog
