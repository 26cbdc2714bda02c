#include "journal/limits.h"

#include <gtest/gtest.h>

#include <string_view>

#include "in_copenhagen.h"

namespace horalog {
namespace {

QStringList findingsOf(std::string_view file) {
    WorkingTimeCheck check;
    RecordReader reader([&check](const Entry& e) { check.add(e); });
    for (std::size_t end; (end = file.find('\n')) != std::string_view::npos;
         file.remove_prefix(end + 1)) {
        reader.addLine(file.substr(0, end));
    }
    reader.addLine(file);
    return check.findings();
}

// `count` days in a row from `first`, each a record «arrival;departure;ct».
std::string days(const QDate& first, int count, const char* worked) {
    std::string out;
    for (int i = 0; i < count; ++i) {
        out += first.addDays(i).toString(u"dd-MM-yyyy").toStdString() + ";1;" + worked + ";0;0;\n";
    }
    return out;
}

// The figures worked out by hand: rests from the departure to the next arrival, weeks and spans in
// centi-hours (a span's average is its sum times 7 over its days), runs in calendar days.
TEST(WorkingTimeCheck, Files) {
    const testing::InCopenhagen zone;
    const struct {
        const char* what;
        std::string file;
        QStringList findings;
    } cases[] = {
        {"a working day runs from its earliest arrival to its latest departure, whatever their "
         "order; 11:00 is rest enough, 10:59 is not; a day without its departure has no rest; "
         "midnight is a time, at either end",
         R"(07-12-2026;0;-;-;-;0;150
07-12-2026;1;19:00;22:30;350;350;0;
07-12-2026;2;14:00;18:00;400;750;0;
08-12-2026;3;12:00;16:00;400;1150;0;
08-12-2026;4;08:00;11:30;350;1500;0;
09-12-2026;5;03:00;12:00;900;2400;0;
10-12-2026;6;22:59;06:00;700;3100;0;
11-12-2026;7;12:00;-;0;3100;0;
12-12-2026;8;08:00;16:00;800;3900;0;
13-12-2026;9;00:00;07:00;700;4600;0;
14-12-2026;10;15:00;00:00;900;5500;0;)",
         {QStringLiteral("08-12-2026: 9:30 hvile (gik 22:30 den 07-12-2026, mødte 08:00)"),
          QStringLiteral("10-12-2026: 10:59 hvile (gik 12:00 den 09-12-2026, mødte 22:59)"),
          QStringLiteral("13-12-2026: 8:00 hvile (gik 16:00 den 12-12-2026, mødte 00:00)"),
          QStringLiteral("14-12-2026: 8:00 hvile (gik 07:00 den 13-12-2026, mødte 15:00)")}},
        {"weeks 37-40 hold 4800, 4800, 4800 and 5001 ct: the 28 days from the first record to the "
         "reset average 4850.25 ct a week (48:30); the time off is not work",
         "07-09-2026;0;-;-;-;0;0\n" + days(QDate(2026, 9, 7), 5, "07:00;17:00;960") +
             days(QDate(2026, 9, 14), 5, "07:00;17:00;960") +
             "18-09-2026;1;-;-;7,4;0;0;Afspadsering\n" +
             days(QDate(2026, 9, 21), 5, "07:00;17:00;960") +
             days(QDate(2026, 9, 28), 4, "07:00;17:00;1000") +
             "02-10-2026;1;07:00;17:00;1001;0;0;\n04-10-2026;0;-;-;-;0;0;Nulstillet",
         {QStringLiteral("Uge 40 2026: 50:01 arbejdet (mere end 48 timer)"),
          QStringLiteral(
              "07-09-2026 – 04-10-2026: 48:30 om ugen i gennemsnit (mere end 48 timer)")}},
        {"13 days at work, the time off between a day's two records and the reset neither "
         "counted nor breaking; exactly 24 hours' rest ends the run",
         "30-11-2026;0;-;-;-;0;0\n" + days(QDate(2026, 12, 1), 8, "08:00;15:00;700") +
             R"(09-12-2026;9;08:00;11:00;300;5900;0;
09-12-2026;9;-;-;-300;5900;0;Afspadsering
09-12-2026;10;12:00;16:00;400;6300;0;
10-12-2026;11;08:00;15:00;700;7000;0;
11-12-2026;0;-;-;-;0;0;Nulstillet
)" + days(QDate(2026, 12, 11), 3, "08:00;15:00;700") +
             "14-12-2026;4;15:00;22:00;700;2800;0;",
         {QStringLiteral("Uge 50 2026: 49:00 arbejdet (mere end 48 timer)"),
          QStringLiteral("01-12-2026 – 13-12-2026: 13 dage uden 24 timers sammenhængende hvile")}},
        {"two-digit years; night shifts start the evening before, so the run still open at the "
         "end covers 07-12 to 13-12",
         "05-12-26;0;-;-;-;0;0\n05-12-26;1;08:00;16:00;750;750;0;\n" +
             days(QDate(2026, 12, 8), 3, "22:00;06:00;750") +
             "10-12-26;5;10:00;12:00;200;3200;0;\n" +
             days(QDate(2026, 12, 11), 3, "22:00;06:00;750"),
         {QStringLiteral("11-12-2026: 10:00 hvile (gik 12:00 den 10-12-2026, mødte 22:00)"),
          QStringLiteral("07-12-2026 – 13-12-2026: 7 dage uden 24 timers sammenhængende hvile")}},
        {"week 1 of 2026 begins in 2025; the spans either side of New Year, cut to the file, are "
         "too short to average",
         "28-12-2025;0;-;-;-;0;0\n" + days(QDate(2025, 12, 29), 5, "07:00;17:00;1000"),
         {QStringLiteral("Uge 1 2026: 50:00 arbejdet (mere end 48 timer)")}},
        {"at the limits and no further: 11:00 rest, 4800 ct in a week, 6 days in a row; the "
         "impossible 31-09 is passed over, the reset stretches September's span",
         R"(31-08-2026;0;-;-;-;0;0
01-09-2026;1;07:00;15:00;800;800;0;
02-09-2026;2;09:00;22:00;1200;2000;0;
03-09-2026;3;09:00;17:00;800;2800;0;
04-09-2026;4;08:00;16:00;800;3600;0;
05-09-2026;5;08:00;16:00;800;4400;0;
06-09-2026;6;08:00;12:00;400;4800;0;
31-09-2026;7;08:00;20:00;1200;6000;0;
08-09-2026;7;08:00;16:00;800;5600;0;
30-09-2026;0;-;-;-;0;0;Nulstillet)",
         {}},
        {"a week put back by hand: the time since the later days is no rest, and each stretch's "
         "short rest and run are found, in date order",
         "30-11-2026;0;-;-;-;0;0\n" + days(QDate(2026, 12, 14), 1, "13:00;22:00;900") +
             days(QDate(2026, 12, 15), 6, "08:00;14:00;600") +
             days(QDate(2026, 12, 1), 1, "13:00;22:00;900") +
             days(QDate(2026, 12, 2), 6, "08:00;14:00;600"),
         {QStringLiteral("02-12-2026: 10:00 hvile (gik 22:00 den 01-12-2026, mødte 08:00)"),
          QStringLiteral("15-12-2026: 10:00 hvile (gik 22:00 den 14-12-2026, mødte 08:00)"),
          QStringLiteral("01-12-2026 – 07-12-2026: 7 dage uden 24 timers sammenhængende hvile"),
          QStringLiteral("14-12-2026 – 20-12-2026: 7 dage uden 24 timers sammenhængende hvile")}},
        {"the spring night is an hour short: 11:30 on the clock is 10:30 of rest; the autumn night "
         "is an hour long: 10:30 is 11:30; 11:30 on an ordinary night is enough",
         R"(27-03-2026;0;-;-;-;0;0
28-03-2026;1;12:00;22:00;1000;1000;0;
29-03-2026;2;09:30;17:00;750;1750;0;
30-03-2026;3;04:30;12:00;750;2500;0;
24-10-2026;4;12:00;22:00;1000;3500;0;
25-10-2026;5;08:30;16:00;750;4250;0;)",
         {QStringLiteral("29-03-2026: 10:30 hvile (gik 22:00 den 28-03-2026, mødte 09:30)")}},
    };
    for (const auto& c : cases) {
        EXPECT_EQ(findingsOf(c.file), c.findings) << c.what;
    }
}

}  // namespace
}  // namespace horalog
