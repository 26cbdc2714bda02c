#include "timekeeping/today.h"

#include "timekeeping/date_pattern.h"

#include <gtest/gtest.h>

namespace horalog {
namespace {

using namespace Qt::StringLiterals;

TEST(ProposedArrival, FromTheSystemStart) {
    const std::pair<std::int64_t, const char*> cases[] = {
        {36000000 - 3599600, "01:00"},  // started at 00:59:59.6: rounds to 01:00:00
        {36000000 - 3599400, "00:59"},  // 00:59:59.4: rounds down, seconds dropped
        {36000001, "00:00"}};           // running since before midnight
    for (const auto& [uptime, proposal] : cases) {
        EXPECT_EQ(proposedArrival(QTime(10, 0, 0), uptime), QLatin1String(proposal));
    }
    EXPECT_EQ(proposedArrival(QTime(10, 1, 2), 62000), u"10:00");  // seconds count
}

TEST(CheckDatePattern, DayFirstYearLast) {
    const std::tuple<QString, std::int16_t, bool> cases[] = {
        {u"dd-MM-yyyy"_s, 10, true}, {u"dd-MM-yy"_s, 8, true},  {u"dd-MM-åååå"_s, 10, true},
        {u"DD.MM.YYYY"_s, 10, true}, {u"d-M-yyyy"_s, 8, false}, {u"dd-MM-y"_s, 7, false}};
    for (const auto& [pattern, length, accepted] : cases) {
        const DatePattern p = checkDatePattern(pattern);
        EXPECT_EQ(std::pair(p.length, p.accepted), std::pair(length, accepted))
            << pattern.toStdString();
    }
    EXPECT_EQ(checkDatePattern(u"dd-MM-ÅÅÅÅ"_s).shown, u"dd-MM-yyyy");
    EXPECT_EQ(dateTimeText(QDate(2026, 12, 5), u"DD.MM.ÅÅ"_s, u"8.00"_s), u"05.12.26 8.00");
}

}  // namespace
}  // namespace horalog
