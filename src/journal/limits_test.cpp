#include "journal/limits.h"

#include <gtest/gtest.h>

#include "in_copenhagen.h"

namespace horalog {
namespace {

// `count` days in a row from `first`, each a record «arrival;departure;ct».
std::string days(const QDate& first, int count, const char* worked) {
    std::string out;
    for (int i = 0; i < count; ++i) {
        out += first.addDays(i).toString(u"dd-MM-yyyy").toStdString() + ";1;" + worked + ";0;0;\n";
    }
    return out;
}

const std::string kSixDays = days(QDate(2026, 12, 1), 6, "08:00;16:00;800");
const std::string kToApril =
    "31-12-2025;0;-;-;-;0;0\n02-01-2026;1;08:00;16:00;30000;0;0;\n"
    "02-02-2026;2;08:00;16:00;30000;0;0;\n02-04-2026;3;08:00;16:00;2228";

// Findings by hand: longest rests in the 24 h and 7 x 24 h before a departure; a period's average.
const struct {
    std::string file;
    QStringList findings;
} kFiles[] = {
    {"07-12-2026;1;16:00;22:30;650;0;0;\n08-12-2026;2;08:00;16:00;800;0;0;",
     {"08-12-2026: 9:30 hvile (gik 22:30 den 07-12-2026, mødte 08:00)"}},
    {"08-12-2026;1;06:00;20:00;1400;0;0;\n09-12-2026;2;09:00;17:00;800;0;0;",
     {"08-12-2026: 10:00 hvile i de 24 timer op til 20:00"}},
    {"07-12-2026;1;14:00;22:00;800;0;0;\n08-12-2026;2;06:00;10:00;400;0;0;\n"
     "08-12-2026;3;18:00;22:00;400;0;0;",
     {"08-12-2026: 8:00 hvile (gik 22:00 den 07-12-2026, mødte 06:00)"}},
    {"08-12-2026;1;22:00;06:00;800;0;0;\n08-12-2026;2;14:00;22:00;800;0;0;",
     {"08-12-2026: 8:00 hvile (gik 06:00 den 08-12-2026, mødte 14:00)"}},
    {"07-12-2026;1;08:00;16:00;800;0;0;\n08-12-2026;2;03:00;11:00;800;0;0;", {}},  // 11:00
    {"07-12-2026;1;08:00;16:00;800;0;0;\n08-12-2026;2;02:59;10:59;800;0;0;",
     {"08-12-2026: 10:59 hvile (gik 16:00 den 07-12-2026, mødte 02:59)"}},
    {"08-12-2026;1;08:00;16:00;800;0;0;\n09-12-2026;2;22:00;06:00;800;0;0;",
     {"09-12-2026: 6:00 hvile (gik 16:00 den 08-12-2026, mødte 22:00 den 08-12-2026)"}},
    {"08-12-2026;1;08:00;08:00;2400;0;0;",  // departure at its arrival: 24 hours
     {"08-12-2026: 0:00 hvile i de 24 timer op til 08:00"}},
    // Records of a day in any order; no departure, no work; midnight a time at either end.
    {"07-12-2026;0;-;-;-;0;150\n07-12-2026;1;19:00;22:30;350;350;0;\n"
     "07-12-2026;2;14:00;18:00;400;750;0;\n08-12-2026;3;12:00;16:00;400;1150;0;\n"
     "08-12-2026;4;08:00;11:30;350;1500;0;\n09-12-2026;5;03:00;12:00;900;2400;0;\n"
     "10-12-2026;6;22:59;06:00;700;3100;0;\n11-12-2026;7;12:00;-;0;3100;0;\n"
     "12-12-2026;8;08:00;16:00;800;3900;0;\n13-12-2026;9;00:00;07:00;700;4600;0;\n"
     "14-12-2026;10;15:00;00:00;900;5500;0;",
     {"08-12-2026: 9:30 hvile (gik 22:30 den 07-12-2026, mødte 08:00)",
      "10-12-2026: 10:59 hvile (gik 12:00 den 09-12-2026, mødte 22:59 den 09-12-2026)",
      "13-12-2026: 8:00 hvile (gik 16:00 den 12-12-2026, mødte 00:00)",
      "14-12-2026: 8:00 hvile (gik 07:00 den 13-12-2026, mødte 15:00 den 13-12-2026)"}},
    // Two-digit years; nights around a short day: 10 hours clipped to the 24, then 10 whole.
    {"05-12-26;0;-;-;-;0;0\n05-12-26;1;08:00;16:00;750;750;0;\n" +
         days(QDate(2026, 12, 8), 3, "22:00;06:00;750") + "10-12-26;5;10:00;12:00;200;3200;0;\n" +
         days(QDate(2026, 12, 11), 3, "22:00;06:00;750"),
     {"10-12-2026: 10:00 hvile i de 24 timer op til 12:00",
      "11-12-2026: 10:00 hvile (gik 12:00 den 10-12-2026, mødte 22:00 den 10-12-2026)"}},
    // Spring night: 11:30 on the clock is 10:30 of rest; autumn: 10:30 is 11:30.
    {"27-03-2026;0;-;-;-;0;0\n28-03-2026;1;12:00;22:00;1000;1000;0;\n"
     "29-03-2026;2;09:30;17:00;750;1750;0;\n30-03-2026;3;04:30;12:00;750;2500;0;\n"
     "24-10-2026;4;12:00;22:00;1000;3500;0;\n25-10-2026;5;08:30;16:00;750;4250;0;",
     {"29-03-2026: 10:30 hvile (gik 22:00 den 28-03-2026, mødte 09:30)"}},
    // 13 hours from arrival to departure leave 11:00 of rest; the impossible 31-09 passed over.
    {"31-08-2026;0;-;-;-;0;0\n01-09-2026;1;07:00;15:00;800;800;0;\n"
     "02-09-2026;2;09:00;22:00;1200;2000;0;\n03-09-2026;3;09:00;17:00;800;2800;0;\n"
     "31-09-2026;4;08:00;20:00;1200;4000;0;",
     {}},
    {kSixDays + days(QDate(2026, 12, 7), 6, "16:00;22:00;600"),
     {"07-12-2026 – 12-12-2026: under 35 timers sammenhængende hvile på 7 døgn (længst 24:00)"}},
    {kSixDays + days(QDate(2026, 12, 8), 6, "02:59;10:59;800"),
     {"08-12-2026 – 13-12-2026: under 35 timers sammenhængende hvile på 7 døgn (længst 34:59)"}},
    {kSixDays + days(QDate(2026, 12, 8), 6, "03:00;11:00;800"), {}},
    {days(QDate(2026, 12, 2), 6, "22:00;06:00;800") + "09-12-2026;1;21:30;06:00;850;0;0;\n" +
         days(QDate(2026, 12, 10), 2, "22:00;06:00;800"),
     {}},  // six nights and 39:30 off
    // 35:30 on the clock across the spring change is 34:30; 34:00 across the autumn one 35:00.
    {days(QDate(2026, 3, 23), 6, "08:00;16:00;800") +
         days(QDate(2026, 3, 30), 2, "03:30;11:30;800"),
     {"30-03-2026 – 31-03-2026: under 35 timers sammenhængende hvile på 7 døgn (længst 34:30)"}},
    {days(QDate(2026, 10, 19), 6, "08:00;16:00;800") +
         days(QDate(2026, 10, 26), 2, "02:00;10:00;800"),
     {}},
    // Time off between a day's two records, and the reset, are no work and no rest.
    {"30-11-2026;0;-;-;-;0;0\n" + days(QDate(2026, 12, 1), 8, "08:00;15:00;700") +
         "09-12-2026;9;08:00;11:00;300;5900;0;\n09-12-2026;9;-;-;-300;5900;0;Afspadsering\n"
         "09-12-2026;10;12:00;16:00;400;6300;0;\n10-12-2026;11;08:00;15:00;700;7000;0;\n"
         "11-12-2026;0;-;-;-;0;0;Nulstillet\n" +
         days(QDate(2026, 12, 11), 3, "08:00;15:00;700") + "14-12-2026;4;15:00;22:00;700;2800;0;",
     {"07-12-2026 – 14-12-2026: under 35 timers sammenhængende hvile på 7 døgn (længst 17:00)"}},
    // A week put back by hand: the time since the later days is no rest; findings in date order.
    {"30-11-2026;0;-;-;-;0;0\n" + days(QDate(2026, 12, 14), 1, "13:00;22:00;900") +
         days(QDate(2026, 12, 15), 6, "08:00;14:00;600") +
         days(QDate(2026, 12, 1), 1, "13:00;22:00;900") +
         days(QDate(2026, 12, 2), 6, "08:00;14:00;600"),
     {"02-12-2026: 10:00 hvile (gik 22:00 den 01-12-2026, mødte 08:00)",
      "15-12-2026: 10:00 hvile (gik 22:00 den 14-12-2026, mødte 08:00)",
      "07-12-2026: under 35 timers sammenhængende hvile på 7 døgn (længst 23:00)",
      "20-12-2026: under 35 timers sammenhængende hvile på 7 døgn (længst 23:00)"}},
    // A running period: 82286 ct by April is over 48 hours in 120 days (rounded up), 82285 not.
    {kToApril + "6;0;0;",
     {"01-01-2026 – 30-04-2026: 48:01 om ugen i gennemsnit (mere end 48 timer)"}},
    {kToApril + "5;0;0;", {}},
    // A period cut by the first record counts its 116 days from it; time off is no work.
    {"07-09-2026;0;-;-;-;0;0\n08-09-2026;1;08:00;16:00;40000;0;0;\n"
     "18-09-2026;1;-;-;7,4;0;0;Afspadsering\n09-11-2026;2;08:00;16:00;41200;0;0;\n",
     {"07-09-2026 – 31-12-2026: 49:00 om ugen i gennemsnit (mere end 48 timer)"}},
    {"28-12-2025;0;-;-;-;0;0\n" + days(QDate(2025, 12, 29), 5, "07:00;17:00;1000"),
     {}},  // a long week
};

TEST(WorkingTimeCheck, Files) {
    const testing::InCopenhagen zone;
    for (const auto& [file, findings] : kFiles) {
        WorkingTimeCheck check;
        RecordReader reader([&check](const Entry& e) { check.add(e); });
        for (const QByteArray& line : QByteArray::fromStdString(file).split('\n')) {
            reader.addLine(line.toStdString());
        }
        EXPECT_EQ(check.findings(), findings) << file;
    }
}

}  // namespace
}  // namespace horalog
