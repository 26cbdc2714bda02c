// Reading a line: its figures, its record, the chart and the working-time check over them.
#include "journal/records.h"

#include <gtest/gtest.h>

#include <numeric>
#include <string>

#include "journal/limits.h"
#include "journal/overview.h"
#include "journal/record.h"
#include "journal/windows1252.h"
#include "test_helpers.h"

namespace horalog {
namespace {

using namespace Qt::StringLiterals;
using namespace testing;  // the shared test helpers: Copenhagen's zone, December's days

// A line read as the last figures and as a record: kind, month, date, times, worked, total.
TEST(RecordReader, FiguresKindsDatesTimesAndUnreadableLines) {
    const QString unreadable = u"Den sidste registrering har et tal, der ikke kan læses: "_s;
    const std::pair<QByteArray, QString> cases[] = {
        {"\xEF\xBB\xBF\"dato\";\"dag\";\"komme\";\"g\xE5\";\"tid\";\"periode\";\"total\";"
         "\"kommentar\";",
         "0 0 0"},                                        // the header, as it always read
        {"08-12-2026;1;08:00;16:00;750;750;1\00010;"_ba,  // once read as «1»
         unreadable + "08-12-2026;1;08:00;16:00;750;750;1\uFFFD10;"},
        {"13-05-2026;44;;;;;;", unreadable + "13-05-2026;44;;;;;;"},
        {"x;+1;-;-;-;0; 7", unreadable + "x;+1;-;-;-;0; 7"},
        {"x;1;-;-;-;0;2147483648",
         "Den sidste registrering har et tal, der er for stort: x;1;-;-;-;0;2147483648"},
        {"x;32768;-;-;-;0;0",
         "Den sidste registrering har et tal, der er for stort: x;32768;-;-;-;0;0"},
        {"x;1;-;-;-;0", QString()},  // no record: nothing
    };
    for (const auto& [line, expected] : cases) {
        const auto read = figuresFromLine(fromWindows1252(line));
        const auto f = read.ok() ? *read : std::nullopt;
        const QString got = f ? QString::asprintf("%d %d %d", f->dage, f->sum, f->total) : "";
        EXPECT_EQ(read.ok() ? got : read.error(), expected) << line.toStdString();
    }
    QByteArray all(256, '\0');
    std::iota(all.begin(), all.end(), '\0');
    EXPECT_EQ(toWindows1252(fromWindows1252(all) + u"\u4e2d"_s), all + '?');  // one it lacks: '?'
    EXPECT_EQ(fromWindows1252("\x80\xE6\xF8\xE5"), QStringLiteral("€æøå"));
    EXPECT_EQ(notInWindows1252(QStringLiteral("€æ Ł😀Łøå")), QStringLiteral("Ł😀"));
    const std::string rec = "11-12-2026;1;08:00;16:00;750;750;10;";  // the longest, a byte more
    const std::pair<std::string, QString> rows[] = {
        {"05-12-2026;0;-;-;-;0;150", "O 202612 05-12-2026 -1 -1 0 150"},  // a file's opening
        {"07-12-2026;1;22:00;6.30;800;800;60;", "W 202612 07-12-2026 1320 390 800 60"},  // a night
        {"08-12-68;1;-;-;-7,4;793;53;afspadsering", "T 206812 08-12-2068 -1 -1 7 53"},
        {"09-12-69;0;-;-;-;0;53;Nulstillet", "R 196912 09-12-1969 -1 -1 0 53"},
        {"10-12-2026;0;08:00;-;-;0;53;x", "W 202612 10-12-2026 480 -1 0 53"},  // no reset
        {"31-02-2026;2;8:05;24:00;+750;1543;63;", "W 202602  485 -1 750 63"},  // no such day
        {"x;99999999999;-;-;-;0;0", ""},               // 7: a day count too large
        {"13-13-2026;1;08:00;16:00;750;750;10;", ""},  // 8: no such month
        {"short;line", ""},
        {"\xEF\xBB\xBF\"dato\";\"dag\";\"komme\";\"g\xE5\";\"tid\";\"periode\";\"total\";", ""},
        {"01-12-26;1;08:00:00;16:00:59;750;750;135;;", "W 202612 01-12-2026 480 960 750 135"},
        {"03-12-26;3;\"-\";\"-\";-740;1575;-520;\"afspadsering\";\" tandl\xE6ge\"",
         "T 202612 03-12-2026 -1 -1 740 -520"},
        {"08-12-26;0;\"-\";\"-\";\"-\";0;-325;\"periode afsluttet/nulstillet\";",
         "R 202612 08-12-2026 -1 -1 0 -325"},
        {"\"09-12-2026\";\"1\";\"08:00\";\"16:00:60\";\"750\";\"750\";\"10\"",
         "W 202612 09-12-2026 480 -1 750 10"},
        {"10-12-2026;1;-;-;-1,234568E+07;0;-12345680;",  // time off beyond seven digits
         "T 202612 10-12-2026 -1 -1 12345680 -12345680"},
        {"08-12-2026;1;08:00;16:00;750;750;1x0;", ""},  // 16: a stray byte
        {"08-12-2026;1;08:00;16:00;7 50;750;10;", ""},  // 17: a blank in the worked time
        {"08-12-2026;1;-;-;-7,4x;793;53;", ""},         // 18: time off that is no amount
        {"08-12-2026;0;-;-;-;0;53;", "O 202612 08-12-2026 -1 -1 0 53"},  // no comment: no reset
        {rec + std::string(kLongestLine - rec.size(), 'x'), "W 202612 11-12-2026 480 960 750 10"},
        {rec + std::string(kLongestLine + 1 - rec.size(), 'x'), ""},
    };
    QString read;
    RecordReader reader([&read](const Entry& e) {
        read += QString::asprintf("%c %d %s %d %d %lld %d", "WTRO"[static_cast<int>(e.kind)],
                                  e.month, qPrintable(e.date.toString(u"dd-MM-yyyy")), e.arrival,
                                  e.departure, static_cast<long long>(e.worked), e.total);
    });
    for (const auto& [line, expected] : rows) {
        read.clear();
        reader.addLine(line);
        EXPECT_EQ(read, expected) << line.substr(0, 100);
    }
    EXPECT_EQ(reader.unreadable().first(), (std::vector<qint64>{7, 8, 16, 17, 18, 21}));
    // The first twenty unreadable lines are named, the rest counted; the overview says how many.
    const auto said = [](qint64 count) {
        UnreadableLines u;
        for (qint64 i = 1; i <= count; ++i) {
            u.add(i + 83);
        }
        return unreadableMessages(u) << unreadableNote(u);
    };
    EXPECT_EQ(said(0) + said(1) + said(21).mid(19, 2) + said(7100000).mid(20),
              QStringList(
                  {"", "Linje 84 kan ikke læses og er sprunget over.",
                   "1 linje i registreringsfilen kunne ikke læses (linje 84).",
                   "Linje 103 kan ikke læses og er sprunget over.", "… og 1 linje mere",
                   "… og 7.099.980 linjer mere",
                   "7.100.000 linjer i registreringsfilen kunne ikke læses (første: linje 84)."}));
}

// `count` days in a row from `first`, each a record «arrival;departure;ct».
std::string days(const QDate& first, int count, const char* worked) {
    std::string out;
    for (int i = 0; i < count; ++i) {
        out += first.addDays(i).toString(u"dd-MM-yyyy").toStdString() + ";1;" + worked + ";0;0;\n";
    }
    return out;
}

const std::string kToApril =
    "31-12-2025;0;-;-;-;0;0\n02-01-2026;1;08:00;16:00;30000;0;0;\n"
    "02-02-2026;2;08:00;16:00;30000;0;0;\n02-04-2026;3;08:00;16:00;2228";

// Findings by hand: longest rests in the 24 h and 7 x 24 h before a departure; a period's average.
const std::pair<std::string, QStringList> kFiles[] = {
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
         days({2026, 12, 8}, 3, "22:00;06:00;750") + "10-12-26;5;10:00;12:00;200;3200;0;\n" +
         days({2026, 12, 11}, 3, "22:00;06:00;750"),
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
    {days({2026, 12, 1}, 6, "08:00;16:00;800") + days({2026, 12, 7}, 6, "16:00;22:00;600"),
     {"07-12-2026 – 12-12-2026: under 35 timers sammenhængende hvile på 7 døgn (længst 24:00)"}},
    {days({2026, 12, 1}, 6, "08:00;16:00;800") + days({2026, 12, 8}, 6, "02:59;10:59;800"),
     {"08-12-2026 – 13-12-2026: under 35 timers sammenhængende hvile på 7 døgn (længst 34:59)"}},
    {days({2026, 12, 1}, 6, "08:00;16:00;800") + days({2026, 12, 8}, 6, "03:00;11:00;800"), {}},
    {days({2026, 12, 2}, 6, "22:00;06:00;800") + "09-12-2026;1;21:30;06:00;850;0;0;\n" +
         days({2026, 12, 10}, 2, "22:00;06:00;800"),
     {}},  // six nights and 39:30 off
    // 35:30 on the clock across the spring change is 34:30; 34:00 across the autumn one 35:00.
    {days({2026, 3, 23}, 6, "08:00;16:00;800") + days({2026, 3, 30}, 2, "03:30;11:30;800"),
     {"30-03-2026 – 31-03-2026: under 35 timers sammenhængende hvile på 7 døgn (længst 34:30)"}},
    {days({2026, 10, 19}, 6, "08:00;16:00;800") + days({2026, 10, 26}, 2, "02:00;10:00;800"), {}},
    // Time off between a day's two records, and the reset, are no work and no rest.
    {"30-11-2026;0;-;-;-;0;0\n" + days({2026, 12, 1}, 8, "08:00;15:00;700") +
         "09-12-2026;9;08:00;11:00;300;5900;0;\n09-12-2026;9;-;-;-300;5900;0;Afspadsering\n"
         "09-12-2026;10;12:00;16:00;400;6300;0;\n10-12-2026;11;08:00;15:00;700;7000;0;\n"
         "11-12-2026;0;-;-;-;0;0;Nulstillet\n" +
         days({2026, 12, 11}, 3, "08:00;15:00;700") + "14-12-2026;4;15:00;22:00;700;2800;0;",
     {"07-12-2026 – 14-12-2026: under 35 timers sammenhængende hvile på 7 døgn (længst 17:00)"}},
    // A week put back by hand: the time since the later days is no rest; findings in date order.
    {"30-11-2026;0;-;-;-;0;0\n" + days({2026, 12, 14}, 1, "13:00;22:00;900") +
         days({2026, 12, 15}, 6, "08:00;14:00;600") + days({2026, 12, 1}, 1, "13:00;22:00;900") +
         days({2026, 12, 2}, 6, "08:00;14:00;600"),
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
    {"28-12-2025;0;-;-;-;0;0\n" + days({2025, 12, 29}, 5, "07:00;17:00;1000"), {}},  // a long week
};

// Chart: start total, days' last totals, weeks' work (no time off); a late record on its date.
const std::string kChartFile =
    "dato;dag;komme;gå;tid;periode;total;kommentar\n30-11-2026;1;08:00;16:00;750;750;10;\n"
    "01-12-2026;2;08:00;16:00;750;1500;20;\n02-12-2026;3;08:00;12:00;400;1900;-320;\n"
    "02-12-2026;4;13:00;17:00;400;2300;-660;\n03-12-2026;4;-;-;7,4;1560;-1400;Afspadsering\n"
    "07-12-2026;5;08:00;17:00;850;2410;-1290;\n04-12-26;6;08:00;16:00;750;3160;-1280;\n"
    "10-12-2026;7;08:00;16:00;750;3910;-1270;";

TEST(Collectors, ChartAndWorkingTimeCheck) {
    const auto collect = [](auto collector, const std::string& file) {
        RecordReader reader([&collector](const Entry& e) { collector.add(e); });
        for (const QByteArray& line : QByteArray::fromStdString(file).split('\n')) {
            reader.addLine(line.toStdString());
        }
        return collector;
    };
    const ChartData data = collect(ChartCollector(dec(2), dec(9)), kChartFile).data();
    const std::vector<ChartWeek> weeks = {{QDate(2026, 11, 30), 750 + 750 + 400 + 400 + 750, 4},
                                          {dec(7), 850, 1}};
    EXPECT_EQ(data.startTotal, 20);
    EXPECT_EQ(data.flex, (decltype(data.flex){
                             {dec(2), -660}, {dec(3), -1400}, {dec(4), -1280}, {dec(7), -1290}}));
    EXPECT_EQ(data.weeks, weeks);
    EXPECT_EQ(weekNorm(weeks[0], 7.4f), 2960);
    EXPECT_EQ(weekNorm(weeks[1], 7.5f), 750);
    EXPECT_EQ(chartStart(dec(7)), QDate(2025, 12, 8));  // twelve months up to today
    EXPECT_EQ(chartStart(QDate(2028, 2, 29)), QDate(2027, 3, 1));
    const InCopenhagen zone;
    for (const auto& [file, findings] : kFiles) {
        EXPECT_EQ(collect(WorkingTimeCheck(), file).findings(), findings) << file;
    }
}

}  // namespace
}  // namespace horalog
