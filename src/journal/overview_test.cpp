#include "journal/overview.h"

#include <gtest/gtest.h>

namespace horalog {
namespace {

ChartData collect(const QDate& from, const QDate& to, const std::vector<const char*>& lines) {
    ChartCollector chart(from, to);
    RecordReader reader([&chart](const Entry& e) { chart.add(e); });
    for (const char* line : lines) {
        reader.addLine(line);
    }
    return chart.data();
}

// The days and the weeks a span shows: the total it starts with, each day's last total, the
// weeks that overlap it with their hours and days of work. Time off moves the line but is no
// work; a record after the span, or corrected out of order, counts on its own date.
TEST(ChartCollector, DaysAndWeeksFromTheFile) {
    const ChartData data = collect(QDate(2026, 12, 2), QDate(2026, 12, 9),
                                   {
                                       "dato;dag;komme;gå;tid;periode;total;kommentar",
                                       "30-11-2026;1;08:00;16:00;750;750;10;",
                                       "01-12-2026;2;08:00;16:00;750;1500;20;",
                                       "02-12-2026;3;08:00;12:00;400;1900;-320;",
                                       "02-12-2026;4;13:00;17:00;400;2300;-660;",
                                       "03-12-2026;4;-;-;7,4;1560;-1400;Afspadsering",
                                       "07-12-2026;5;08:00;17:00;850;2410;-1290;",
                                       "04-12-26;6;08:00;16:00;750;3160;-1280;",
                                       "10-12-2026;7;08:00;16:00;750;3910;-1270;",
                                   });
    EXPECT_EQ(data.startTotal, 20);
    const std::vector<std::pair<QDate, std::int32_t>> flex = {{QDate(2026, 12, 2), -660},
                                                              {QDate(2026, 12, 3), -1400},
                                                              {QDate(2026, 12, 4), -1280},
                                                              {QDate(2026, 12, 7), -1290}};
    EXPECT_EQ(data.flex, flex);
    const std::vector<ChartWeek> weeks = {{QDate(2026, 11, 30), 750 + 750 + 400 + 400 + 750, 4},
                                          {QDate(2026, 12, 7), 850, 1}};
    EXPECT_EQ(data.weeks, weeks);
    EXPECT_EQ(weekNorm(weeks[0], 7.4f), 2960);
    EXPECT_EQ(weekNorm(weeks[1], 7.5f), 750);
}

TEST(ChartStart, TwelveMonthsUpToToday) {
    EXPECT_EQ(chartStart(QDate(2026, 12, 7)), QDate(2025, 12, 8));
    EXPECT_EQ(chartStart(QDate(2028, 2, 29)), QDate(2027, 3, 1));
}

}  // namespace
}  // namespace horalog
