#include "journal/journal_file.h"

#include <gtest/gtest.h>

#ifndef _WIN32
#include <sys/stat.h>
#include <sys/wait.h>
#include <unistd.h>

#include "size_limit.h"
#endif

#include <QCoreApplication>
#include <QDeadlineTimer>
#include <QSysInfo>
#include <QTemporaryDir>
#include <functional>
#include <numeric>
#include <string>
#include <tuple>
#include <vector>

#include "file_bytes.h"
#include "in_copenhagen.h"
#include "journal/chart_target.h"
#include "journal/file_session.h"
#include "journal/limits.h"
#include "journal/overview.h"
#include "journal/record.h"
#include "journal/records.h"
#include "journal/windows1252.h"
#include "plain_append.h"

namespace horalog {
namespace {

using namespace Qt::StringLiterals;
using namespace std::string_literals;
using namespace testing;  // the shared test helpers: a file's bytes, an append

const QByteArray kHead = "dato;dag;komme;g\xE5;tid;periode;total;kommentar\r\n";
const QByteArray kDays = kHead + "05-12-2026;3;08:00;16:00;750;2220;125;\r\n";
const QByteArray kMorning = "05-12-2026;4;08:00;12:00;350;2570;-265;\r\n";  // another copy's
const QByteArray kCorrected = kHead + "05-12-2026;3;08:00;16:00;750;2220;200;\r\n";  // by hand

struct JournalFileTest : ::testing::Test {
    QString path(const char* name) { return dir.filePath(QLatin1String(name)); }
    QTemporaryDir dir;
    const QString known = u"05-12-2026;3;08:00;16:00;750;2220;125;"_s;
    const QString p = path("Horalog.Dat");
    FileSession session;
    QTemporaryDir otherVolume{u"/dev/shm/horalog-XXXXXX"_s};  // copied, not linked
};

// The last figures: a spreadsheet's save as the original; a NUL once read «1\0» «10» as 1.
TEST(FileFigures, FromTheLastLineInWindows1252) {
    const QString unreadable = u"Den sidste registrering har et tal, der ikke kan læses: "_s;
    const std::pair<QByteArray, QString> cases[] = {
        {"08-12-26;1;08:10:00;16:00:00;733;733;-332;;", "1 733 -332"},
        {"\"08-12-26\";\"1\";\"08:10\";\"16:00\";\"733\";\"733\";\"-332\"", "1 733 -332"},
        {"\xEF\xBB\xBF\"dato\";\"dag\";\"komme\";\"g\xE5\";\"tid\";\"periode\";\"total\";",
         "0 0 0"},  // the header, as it always read
        {"08-12-2026;1;08:00;16:00;750;750;1\00010;"_ba,
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
    EXPECT_EQ(toWindows1252(fromWindows1252(all)), all);
    EXPECT_EQ(fromWindows1252("\x80\xE6\xF8\xE5"), QStringLiteral("€æøå"));
    EXPECT_EQ(toWindows1252(QStringLiteral("\u4e2d")), QByteArray("?"));
    EXPECT_EQ(notInWindows1252(QStringLiteral("€æ Ł😀Ł")), QStringLiteral("Ł😀"));
    EXPECT_EQ(notInWindows1252(QStringLiteral("€æøå")), QString());
}

// A line, and its kind (Work, TimeOff, Reset, Opening), month, date, times, worked and total.
TEST(RecordReader, KindsDatesTimesAndUnreadableLines) {
    const std::string record = "11-12-2026;1;08:00;16:00;750;750;10;";
    const std::pair<std::string, QString> rows[] = {
        {"dato;dag;komme;g\xE5;tid;periode;total;kommentar", ""},         // the header: passed over
        {"05-12-2026;0;-;-;-;0;150", "O 202612 05-12-2026 -1 -1 0 150"},  // a file's opening
        {"07-12-2026;1;22:00;6.30;800;800;60;", "W 202612 07-12-2026 1320 390 800 60"},  // a night
        {"08-12-68;1;-;-;-7,4;793;53;afspadsering", "T 206812 08-12-2068 -1 -1 7 53"},
        {"09-12-69;0;-;-;-;0;53;Nulstillet", "R 196912 09-12-1969 -1 -1 0 53"},
        {"10-12-2026;0;08:00;-;-;0;53;x", "W 202612 10-12-2026 480 -1 0 53"},  // no reset
        {"31-02-2026;2;8:05;24:00;+750;1543;63;", "W 202602  485 -1 750 63"},  // no such day
        {"x;99999999999;-;-;-;0;0", ""},               // 8: a day count too large
        {"13-13-2026;1;08:00;16:00;750;750;10;", ""},  // 9: no such month
        {"short;line", ""},
        {"\xEF\xBB\xBF\"dato\";\"dag\";\"komme\";\"g\xE5\";\"tid\";\"periode\";\"total\";"
         "\"kommentar\";",
         ""},  // a spreadsheet's save: an opening record's empty ninth field is no reset
        {"30-11-26;0;\"-\";\"-\";\"-\";0;125;;", "O 202611 30-11-2026 -1 -1 0 125"},
        {"01-12-26;1;08:00:00;16:00:59;750;750;135;;", "W 202612 01-12-2026 480 960 750 135"},
        {"03-12-26;3;\"-\";\"-\";-740;1575;-520;\"afspadsering\";\" tandl\xE6ge\"",
         "T 202612 03-12-2026 -1 -1 740 -520"},
        {"08-12-26;0;\"-\";\"-\";\"-\";0;-325;\"periode afsluttet/nulstillet\";",
         "R 202612 08-12-2026 -1 -1 0 -325"},
        {"\"09-12-2026\";\"1\";\"08:00\";\"16:00:60\";\"750\";\"750\";\"10\"",
         "W 202612 09-12-2026 480 -1 750 10"},
        {"10-12-2026;1;-;-;-1,234568E+07;0;-12345680;",  // time off beyond seven digits
         "T 202612 10-12-2026 -1 -1 12345680 -12345680"},
        {"13-05-2026;44;;;;;;", ""},                         // 18: empty fields
        {"08-12-2026;1;08:00;16:00;750;750;1\00010;"s, ""},  // 19: a NUL in a figure
        {"08-12-2026;1;08:00;16:00;750;750;1x0;", ""},       // 20: a stray byte
        {"08-12-2026;1;08:00;16:00;7 50;750;10;", ""},       // 21: a blank in the worked time
        {"08-12-2026;1;-;-;-7,4x;793;53;", ""},              // 22: time off that is no amount
        {"08-12-2026;0;-;-;-;0;53;", "O 202612 08-12-2026 -1 -1 0 53"},  // no comment: no reset
        {record + std::string(kLongestLine - record.size(), 'x'),
         "W 202612 11-12-2026 480 960 750 10"},  // the longest a record can be, and a byte more
        {record + std::string(kLongestLine + 1 - record.size(), 'x'), ""},
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
    EXPECT_EQ(reader.unreadable().first(), (std::vector<qint64>{8, 9, 18, 19, 20, 21, 22, 25}));
    // The first twenty unreadable lines are named, the rest counted; the overview says how many.
    const auto lines = [](qint64 count) {
        UnreadableLines u;
        for (qint64 i = 1; i <= count; ++i) {
            u.add(i + 83);
        }
        return u;
    };
    const auto said = [](const auto& u) { return unreadableMessages(u) << unreadableNote(u); };
    EXPECT_EQ(unreadableMessages(lines(20)).size(), 20);
    EXPECT_EQ(said(lines(0)) + said(lines(1)) + unreadableMessages(lines(21)).mid(19) +
                  said(lines(7100000)).mid(20),
              QStringList(
                  {"", "Linje 84 kan ikke læses og er sprunget over.",
                   "1 linje i registreringsfilen kunne ikke læses (linje 84).",
                   "Linje 103 kan ikke læses og er sprunget over.", "… og 1 linje mere",
                   "… og 7.099.980 linjer mere",
                   "7.100.000 linjer i registreringsfilen kunne ikke læses (første: linje 84)."}));
}

// The process's peak resident memory in KB, counted from now on when `fresh`, if it can be told.
std::optional<qint64> peakMemory(bool fresh) {
    QFile reset(QStringLiteral("/proc/self/clear_refs"));
    if (fresh && !(reset.open(QIODevice::WriteOnly) && reset.write("5") == 1 && reset.flush())) {
        return std::nullopt;
    }
    const QByteArray status = readBytes(QStringLiteral("/proc/self/status"));
    const qsizetype at = status.indexOf("\nVmHWM:");
    return at < 0 ? std::nullopt : std::optional(std::atoll(status.constData() + at + 7));
}

// A million unreadable lines and a crash's 100 MB of NULs: read in bounded time and memory.
TEST_F(JournalFileTest, HostileFilesReadInBoundedTimeAndMemory) {
    QFile file(path("hostile.dat"));
    ASSERT_TRUE(file.open(QIODevice::WriteOnly) &&
                file.write("01-12-2026;1;08:00;16:00;750;750;10;\r\n" +
                           QByteArray("x;1;-;-;-;0;0\n").repeated(1000000)) > 0 &&
                file.seek(file.size() + 100 * 1024 * 1024) &&
                file.write("\r\n02-12-2026;2;08:00;16:00;750;1500;20;\r\n") > 0 && file.flush());
#ifdef __SANITIZE_ADDRESS__
    const QDeadlineTimer bound(10000);   // the sanitizers' own cost, with other tests beside
    const std::optional<qint64> before;  // and their quarantine holds what was freed
#else
    const auto before = peakMemory(true);
    const QDeadlineTimer bound(2000);
#endif
    const auto report = readReport(file.fileName());
    EXPECT_FALSE(bound.hasExpired());
    const auto after = peakMemory(false);
    EXPECT_LT(before && after ? *after - *before : 0, 16 * 1024);  // KB, where it can be told
    ASSERT_TRUE(report.ok());
    EXPECT_TRUE(report->csv().endsWith(QStringLiteral("\n2026-12;2;1500;0;0;20\n")));
    const UnreadableLines& unreadable = report->unreadable();
    EXPECT_EQ(std::tuple(unreadable.count(), unreadable.first().front(), unreadable.first().back()),
              std::tuple(1000001, 2, 21));
}

// As written and as a spreadsheet saved it: the same figures, continued alike, the same report.
TEST_F(JournalFileTest, SpreadsheetSaveReadAsTheOriginal) {
    std::vector<std::tuple<QString, decltype(ChartData::flex), std::vector<ChartWeek>>> seen;
    for (const char* name : {"spreadsheet-original.dat", "spreadsheet-saved.dat"}) {
        const QString copy =
            writeBytes(path(name), readBytes(QStringLiteral(HORALOG_TEST_DATA "/") + name));
        ASSERT_TRUE(appendRecords(copy, std::nullopt, {}, [](const Figures& f) {
                        const Figures after{std::int16_t(f.dage + 1), f.sum + 400, f.total - 340};
                        return QStringList{dayRecord(u"09-12-2026"_s, after, 100, 500, 400)};
                    }).ok());
        EXPECT_TRUE(readBytes(copy).endsWith("\n09-12-2026;2;01:00;05:00;400;1133;-672;\r\n"));
        const auto report = readReport(copy);
        const auto overview = readOverview(copy, QDate(2025, 12, 10), QDate(2026, 12, 9));
        ASSERT_TRUE(report.ok() && overview.ok()) << name;
        EXPECT_EQ(report->csv(), QStringLiteral("måned;arbejdsdage;arbejdstid;afspadsering;"
                                                "nulstillinger;flex\n2026-11;0;0;0;0;125\n"
                                                "2026-12;6;4383;740;1;-672\n"));
        EXPECT_EQ(report->unreadable().count() + overview->months.unreadable().count(), 0);
        EXPECT_EQ(overview->findings,
                  QStringList{"09-12-2026: 9:00 hvile (gik 16:00 den 08-12-2026, mødte 01:00)"});
        seen.emplace_back(report->table() + overview->months.table(), overview->chart.flex,
                          overview->chart.weeks);
    }
    EXPECT_EQ(seen[0], seen[1]);
}

// Start total, days' last totals, weeks' work; time off no work, a record out of order on its date.
TEST(ChartCollector, DaysAndWeeksFromTheFile) {
    const auto dec = [](int day) { return QDate(2026, 12, day); };
    ChartCollector chart(dec(2), dec(9));
    RecordReader reader([&chart](const Entry& e) { chart.add(e); });
    for (const char* line :
         {"dato;dag;komme;gå;tid;periode;total;kommentar", "30-11-2026;1;08:00;16:00;750;750;10;",
          "01-12-2026;2;08:00;16:00;750;1500;20;", "02-12-2026;3;08:00;12:00;400;1900;-320;",
          "02-12-2026;4;13:00;17:00;400;2300;-660;", "03-12-2026;4;-;-;7,4;1560;-1400;Afspadsering",
          "07-12-2026;5;08:00;17:00;850;2410;-1290;", "04-12-26;6;08:00;16:00;750;3160;-1280;",
          "10-12-2026;7;08:00;16:00;750;3910;-1270;"}) {
        reader.addLine(line);
    }
    const ChartData data = chart.data();
    const std::vector<ChartWeek> weeks = {{QDate(2026, 11, 30), 750 + 750 + 400 + 400 + 750, 4},
                                          {dec(7), 850, 1}};
    EXPECT_EQ(data.startTotal, 20);
    EXPECT_EQ(data.flex, (decltype(data.flex){
                             {dec(2), -660}, {dec(3), -1400}, {dec(4), -1280}, {dec(7), -1290}}));
    EXPECT_EQ(data.weeks, weeks);
    EXPECT_EQ(weekNorm(weeks[0], 7.4f), 2960);
    EXPECT_EQ(weekNorm(weeks[1], 7.5f), 750);
    EXPECT_EQ(chartStart(QDate(2026, 12, 7)), QDate(2025, 12, 8));  // twelve months up to today
    EXPECT_EQ(chartStart(QDate(2028, 2, 29)), QDate(2027, 3, 1));
}

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
const std::pair<std::string, QStringList> kFiles[] = {
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

// Any line end (CR alone once read as one line); an append on a line of its own; a crash's tail.
TEST_F(JournalFileTest, LastRecordAndAppendAfterAnyLineEnd) {
    const QByteArray one = "x;1;-;-;-;0;5", two = "x;2;-;-;-;0;7";
    const QString damage =
        u"Filens sidste linje er længere end 64 KB uden linjeskift; filen er beskadiget."_s;
    const qint64 longest = kDays.size() + kLongestLine;
    // The file, the size NULs make it, its last record, what an append adds (none: Damaged).
    const std::tuple<QByteArray, qint64, QString, QByteArray> cases[] = {
        {one, 0, one, "\r\nr;1\r\n"},
        {"h\r\n" + one + "\r\n" + two + "\r\n\r\nshort;line\r\n", 0, two, "r;1\r\n"},
        {"h\n" + one + "\n" + two + "\n\nshort;line\n", 0, two, "r;1\r\n"},
        {"h\r" + one + "\r" + two + "\r\rshort;line\r", 0, two, "r;1\r\n"},
        {"h\r" + one + "\r" + two + "\r\rshort;line", 0, two, "\r\nr;1\r\n"},
        {kDays, longest, known, "\r\nr;1\r\n"},
        {kDays, longest + 1, damage, {}},
        {kDays, 100LL * 1024 * 1024, damage, {}},  // once read back in 104 s, at every append
    };
    for (const auto& [before, size, last, added] : cases) {
        ASSERT_TRUE(QFile(writeBytes(p, before)).resize(std::max(size, before.size())));  // sparse
        const QDeadlineTimer bound(2000);
        const auto read = readLastRecordLine(p);
        EXPECT_FALSE(bound.hasExpired()) << size;
        EXPECT_EQ(read.ok() ? read->value_or(QString()) : read.error().text, last) << size;
        const FileOutcome appended = appendPlain(p, {u"r;1"_s});
        EXPECT_EQ(appended.ok() ? FileProblem::None : appended.error().problem,
                  added.isEmpty() ? FileProblem::Damaged : FileProblem::None);
        EXPECT_TRUE(size > before.size() ? QFileInfo(p).size() == size + added.size()  // 100 MB
                                         : readBytes(p) == before + added)
            << before.toStdString();
    }
    QString lines;  // the whole-file reader splits them alike
    const auto add = [&lines](std::string_view l) { lines += QString::fromLatin1(l) + u'|'; };
    ASSERT_TRUE(readFileLines(writeBytes(path("all.dat"), "a\rbc\r\nd\n\re\r"), add).ok());
    EXPECT_EQ(lines, u"a|bc|d||e|"_s);
    EXPECT_TRUE(registrationFileExists(writeBytes(path(".hidden.dat"), "a")));  // still the user's
    EXPECT_FALSE(registrationFileExists(dir.path()));
}

// Another's lock (a range, a live lock file) is waited for, then Locked; a dead owner's taken over.
TEST_F(JournalFileTest, LockHeldElsewhereIsWaitedForThenLocked) {
    const QByteArray host = ' ' + QSysInfo::machineHostName().toUtf8() + " 7\n";
    const QByteArray pid = QByteArray::number(QCoreApplication::applicationPid());
    for (const QByteArray& owner : {QByteArray(), pid + host, "4194304" + host}) {
        const bool alive = !owner.startsWith("4194304");
        if (!alive && QSysInfo::productType() == u"windows") {
            continue;  // Windows tells no owner gone
        }
        pretendNoByteRangeLocks(!owner.isEmpty());  // as on a share without a lock service
        const QString shared = writeBytes(path("shared.dat"), "h\r\n");
        QFile holder(shared);
        ASSERT_TRUE(holder.open(QIODevice::ReadWrite));
        ASSERT_EQ(tryLockFile(holder.handle()).value(),
                  owner.isEmpty() ? LockAttempt::Taken : LockAttempt::Unsupported);
        const QString lock =
            owner.isEmpty() ? shared + u".lock"_s : writeBytes(shared + u".lock"_s, owner);
        int waits = 0;
        const QDeadlineTimer wait(400);
        const FileOutcome done = appendPlain(shared, {u"r"_s}, {false, 400, [&] { ++waits; }});
        EXPECT_EQ(wait.hasExpired(), alive);
        EXPECT_EQ(done.ok() ? QString() : done.error().text,
                  alive ? u"Registreringsfilen er låst af et andet program. Prøv igen om lidt."_s
                        : QString());
        EXPECT_EQ(done.ok() ? FileProblem::None : done.error().problem,
                  alive ? FileProblem::Locked : FileProblem::None);
        EXPECT_TRUE(alive ? waits > 0 : waits == 0) << waits;  // the window paints meanwhile
        EXPECT_EQ(readBytes(shared), alive ? "h\r\n" : "h\r\nr\r\n");  // nothing written
        EXPECT_EQ(readBytes(lock), alive ? owner : QByteArray());      // another's left alone
        holder.close();  // let go: the next append goes through
        QFile::remove(lock);
        EXPECT_TRUE(appendPlain(shared, {u"r;2"_s}, {false, 300}).ok());
        EXPECT_EQ(readBytes(shared), (alive ? "h\r\n" : "h\r\nr\r\n") + "r;2\r\n"_ba);
    }
    pretendNoByteRangeLocks(false);
}

// The store hears the new name once that file is whole, the old goes last, or the copy goes.
TEST_F(JournalFileTest, MoveStoresOnlyOnceTheNewFileIsWhole) {
    const QString from = writeBytes(path("old.dat"), kDays);
    if (!otherVolume.isValid()) {
        GTEST_SKIP() << "no writable tmpfs at /dev/shm for a move across volumes";
    }
    // Where to, the store's answer, whether it moves: a folder gone stores nothing.
    for (const auto& [to, stores, moves] :
         {std::tuple(path("new.dat"), true, true), std::tuple(path("new.dat"), false, false),
          std::tuple(otherVolume.filePath(u"new.dat"_s), true, true),
          std::tuple(otherVolume.filePath(u"mangler/new.dat"_s), true, false)}) {
        int stored = 0;
        const auto store = [&, to = to, stores = stores] {
            ++stored;
            EXPECT_EQ(readBytes(to) + readBytes(from), kDays + kDays);
            return stores;
        };
        EXPECT_EQ(moveRegistrationFile(from, to, store).ok(), moves);
        EXPECT_EQ(stored, moves || !stores ? 1 : 0);
        EXPECT_EQ(std::pair(QFile::exists(from), QFile::exists(to)), std::pair(!moves, moves));
        EXPECT_EQ(readBytes(moves ? to : from), kDays);
        ASSERT_TRUE(!moves || QFile::rename(to, from) || QFile::copy(to, from));
        QFile::remove(to);
    }
}

// A day appended on the file as another program left it since this copy read it.
TEST_F(JournalFileTest, SessionMadeFollowedAndAppendedOnTheFilesLastFigures) {
    // A file made here or elsewhere, followed when another wrote it, and a new period after "Nej".
    session.setPath(p);
    EXPECT_FALSE(session.read().ok());  // none there
    EXPECT_EQ(session.create(u"05-12-2026"_s, -35).value(), Created::Here);
    FileSession other;
    other.setPath(p);
    EXPECT_EQ(other.create(u"05-12-2026"_s, 200).value(), Created::Elsewhere);
    EXPECT_EQ(readBytes(p), kHead + "05-12-2026;0;-;-;-;0;-35\r\n");
    EXPECT_EQ(session.figures(), (Figures{0, 0, -35}));
    EXPECT_EQ(other.figures(), (Figures{0, 0, -35}));
    EXPECT_FALSE(session.followChanges());  // its own record
    writeBytes(p, kDays);
    EXPECT_TRUE(session.followChanges());
    EXPECT_EQ(session.figures(), (Figures{3, 2220, 125}));
    EXPECT_FALSE(session.reread());  // the same record
    session.declineRecords();
    ASSERT_TRUE(session.newPeriodDue());
    EXPECT_EQ(session.startNewPeriod(u"05-12-2026"_s, -20), AppendOutcome::Written);
    EXPECT_FALSE(session.newPeriodDue());
    EXPECT_EQ(readBytes(p), kDays + kHead + "05-12-2026;0;-;-;-;0;-20\r\n");
    EXPECT_EQ(session.figures(), (Figures{0, 0, -20}));
    QFile::remove(p);
    EXPECT_EQ(session.startNewPeriod(u"06-12-2026"_s, 5), AppendOutcome::Written);
    EXPECT_EQ(readBytes(p), kHead + "06-12-2026;0;-;-;-;0;5\r\n");
    writeBytes(p, kDays + "x;32768;-;-;-;0;0\r\n");  // a day count too large: read as nothing
    EXPECT_FALSE(session.read().ok() || session.reread());
    EXPECT_EQ(session.figures(), (Figures{0, 0, 5}));
    using A = AppendOutcome;
    // The file read, then now (none: not there), the day of 800 fits, the outcome, the figures.
    const std::tuple<QByteArray, QByteArray, bool, A, Figures> rows[] = {
        {kDays, kDays, true, A::Written, {4, 3020, 185}},
        {kDays, kDays + kMorning, true, A::WrittenOnFiguresReadAgain, {5, 3370, -205}},
        {kDays, kCorrected, true, A::WrittenOnFiguresReadAgain, {4, 3020, 260}},
        {kDays, kDays, false, A::Refused, {3, 2220, 125}},
        {kDays, kCorrected, false, A::Refused, {3, 2220, 200}},
        {kHead, kHead, true, A::Written, {1, 800, 60}},  // no record: on the figures held
        {{}, {}, true, A::Written, {1, 800, 60}},
        {kDays, {}, true, A::Missing, {3, 2220, 125}},              // seen, so never made anew
        {kDays, "dato;dag\r\n", true, A::Written, {4, 3020, 185}},  // no record: figures held
        {kDays, kDays + "x;1;-;-;-;0;2147483648\r\n", true, A::Failed, {3, 2220, 125}},
    };
    for (const auto& [read, now, fits, outcome, figures] : rows) {
        SCOPED_TRACE((read + '|' + now).toStdString());
        QFile::remove(p);
        FileSession fresh;
        fresh.setPath(read.isEmpty() ? p : writeBytes(p, read));
        ASSERT_TRUE(read.isEmpty() || fresh.read().ok());
        QFile::remove(p);
        if (!now.isEmpty()) {
            writeBytes(p, now);
        }
        const BuildRecords day = [fits = fits](const Figures& f) -> std::optional<NewRecords> {
            const Figures after{std::int16_t(f.dage + 1), f.sum + 800, f.total + 60};
            const QString line = dayRecord(u"05-12-2026"_s, after, 800, 1650, 800);
            return fits ? std::optional(NewRecords{{line}, after}) : std::nullopt;
        };
        EXPECT_EQ(fresh.append(day), outcome);
        EXPECT_EQ(fresh.figures(), figures);
        const QByteArray added = QString::asprintf("05-12-2026;%d;08:00;16:30;800;%d;%d;\r\n",
                                                   figures.dage, figures.sum, figures.total)
                                     .toLatin1();
        const bool written = outcome == A::Written || outcome == A::WrittenOnFiguresReadAgain;
        EXPECT_EQ(readBytes(p), written ? now + added : now);
    }
}

// Each name the picture may be given, as a user might mistype it, and the refusal or none.
TEST_F(JournalFileTest, ChartTargetRefusesAllButANewFileOrAPng) {
    const KeptFiles kept{writeBytes(p, "dato;dag\r\n"),
                         {writeBytes(path("config/HKEY_CURRENT_USER.reg"), "REGEDIT4\n"),
                          path("HKEY_LOCAL_MACHINE.reg")}};
    writeBytes(path("tekst.png"), "dato;dag\r\n");
    writeBytes(path("tom.png"), "");
    writeBytes(path("gammel.png"), QByteArray("\x89PNG\r\n\x1A\n", 8) + "rest");
    QDir().mkdir(path("billeder"));
    const QString refused = u"Billedet gemmes ikke i %1: %2"_s;
    std::vector<std::pair<QString, QString>> cases = {
        {p, u"det er registreringsfilen."_s},
        {dir.path() + u"/./config/../Horalog.Dat"_s, u"det er registreringsfilen."_s},
        {path("config/HKEY_CURRENT_USER.reg"), u"det er programmets indstillinger."_s},
        {path("billeder"), u"det er en mappe."_s},
        {path("tekst.png"), u"filen findes og er ikke et PNG-billede."_s},
        {path("tom.png"), u"filen findes og er ikke et PNG-billede."_s},
        {path("gammel.png"), {}},
        {path("ny.png"), {}},
        {path("ingen/mappe/ny.png"), {}},  // not refused: the writing fails and says so
    };
#ifndef _WIN32
    ASSERT_EQ(::symlink(QFile::encodeName(p), QFile::encodeName(path("link.png"))), 0);
    ASSERT_EQ(::link(QFile::encodeName(kept.store[0]), QFile::encodeName(path("haard.png"))), 0);
    ASSERT_EQ(::mkfifo(QFile::encodeName(path("fifo.png")), 0600), 0);
    cases.insert(cases.end(),
                 {{path("link.png"), u"det er registreringsfilen."_s},
                  {path("haard.png"), u"det er programmets indstillinger."_s},
                  {path("fifo.png"), u"det er ikke en almindelig fil."_s},
                  {u"/dev/null"_s, u"det er ikke en almindelig fil."_s},
                  {u"./Horalog.Dat"_s, u"det er registreringsfilen."_s}});  // in the current folder
#endif
    const QString cwd = QDir::currentPath();
    QDir::setCurrent(dir.path());
    for (const auto& [target, reason] : cases) {
        EXPECT_EQ(chartTargetRefusal(target, kept),
                  reason.isEmpty() ? std::nullopt : std::optional(refused.arg(target, reason)))
            << target.toStdString();
    }
    QDir::setCurrent(cwd);
}

#ifndef _WIN32  // two copies at once, odd things at the file's path, the umask, a full disk

// Exit statuses of `count` children let go at once while `meanwhile` runs; an alarm ends a hang.
std::vector<int> inChildren(
    int count, auto step, std::function<void()> meanwhile = [] {}) {
    int gate[2] = {-1, -1};
    EXPECT_EQ(::pipe(gate), 0);
    std::vector<int> children;  // process ids, then their statuses
    for (int i = 0; i < count; ++i) {
        if (children.emplace_back(::fork()) == 0) {
            char c = 0;
            ::alarm(30);
            ::close(gate[1]);
            ::_exit(::read(gate[0], &c, 1) == 0 ? step(i) : 10);
        }
    }
    ::close(gate[1]);
    ::close(gate[0]);
    meanwhile();
    for (int& child : children) {
        int status = 0;
        ::waitpid(child, &status, 0);
        child = WIFEXITED(status) ? WEXITSTATUS(status) : 128 + WTERMSIG(status);
    }
    return children;
}

// With umask 000 a new file, its lock file and a copy were once writable by everyone.
bool othersMayWrite(const QString& path) {
    struct stat s {};
    return ::stat(QFile::encodeName(path), &s) != 0 || (s.st_mode & (S_IWGRP | S_IWOTH));
}

// Two first starts at once both made the file; where byte-range locks fail a lock file serves.
TEST_F(JournalFileTest, TwoCopiesAtOnceMakeOneFileAndLoseNoRecord) {
    // Each append built on the one before, on the balance the copy that made the file found.
    const QString file =
        u"dato;dag;komme;gå;tid;periode;total;kommentar\r\n05-12-2026;0;-;-;-;0;%1\r\n"
        "x;1;-;-;-;0;%1\r\nx;2;-;-;-;0;%1\r\nx;3;-;-;-;0;%1\r\nx;4;-;-;-;0;%1\r\n"_s;
    for (const bool lockFiles : {false, true}) {
        const auto slowly = [&](const Figures& f) {
            ::usleep(500);     // the other copy would read the same last record meanwhile
            const bool safe =  // a lock file others may write spoils the record: a bad round
                !lockFiles || !othersMayWrite(QFileInfo(p).canonicalFilePath() + ".lock");
            return QStringList{u"x;%1;-;-;-;0;%2"_s.arg(f.dage + 1).arg(safe ? f.total : 7)};
        };
        int bad = 0;
        for (int round = 0; round < (lockFiles ? 100 : 200); ++round) {
            QFile::remove(p);
            const std::vector<int> found = inChildren(2, [&](int i) {  // whose balance each found
                ::umask(0);
                pretendNoByteRangeLocks(lockFiles);
                const FileFigures f = createRegistrationFile(p, u"05-12-2026"_s, 100 * (i + 1));
                const bool appended = appendRecords(p, std::nullopt, {}, slowly).ok() &&
                                      appendRecords(p, std::nullopt, {}, slowly).ok();
                return !appended ? 8 : f.ok() && f->figures ? f->figures->total / 100 : 9;
            });
            const bool one = (found[0] == 1 || found[0] == 2) && found[1] == found[0] &&
                             readBytes(p) == file.arg(found[0] * 100).toLatin1();
            EXPECT_TRUE(one || ++bad > 3)  // the first few bad rounds
                << (lockFiles ? "lock files" : "byte-range locks") << ", round " << round << ": "
                << readBytes(p).toStdString();
        }
        EXPECT_FALSE(QFile::exists(p + u".lock"_s) || othersMayWrite(p));
    }
}

// Records said saved were once lost in a move: the writer finds the file moved, follows the store.
TEST_F(JournalFileTest, AMoveWhileAnotherCopyAppendsLosesNoRecord) {
    if (!otherVolume.isValid()) {
        GTEST_SKIP() << "no writable tmpfs at /dev/shm for a move across volumes";
    }
    const QString stored = path("store");
    const QByteArray years = QByteArray("x;1;-;-;-;0;5\r\n").repeated(200000);  // a slow copy
    for (int round = 0; round < 5; ++round) {
        const QString from = writeBytes(path("Horalog.Dat"), years);
        const QString to = otherVolume.filePath(u"moved%1.dat"_s.arg(round));
        if (QFile f(from); f.open(QIODevice::ReadOnly)) {
            ::fsync(f.handle());  // the appends' syncs are quick, so many fall within the copy
        }
        writeBytes(stored, from.toUtf8());
        const auto writer = [&](int) {
            QByteArray saved;  // the records reported saved, till four landed in the moved file
            for (int moved = 0; moved < 4;) {
                const QString at = QString::fromUtf8(readBytes(stored));
                const QByteArray record = "r;" + QByteArray::number(saved.count('\n') + 1);
                const FileOutcome done = appendPlain(at, {QString::fromLatin1(record)}, {true});
                if (!done.ok() && done.error().problem != FileProblem::Missing) {
                    return 2;
                }
                saved += done.ok() ? record + "\r\n" : "";
                moved += done.ok() && at == to;
            }
            writeBytes(path("saved"), saved);
            return 0;
        };
        const auto move = [&] {
            for (int wait = 0; wait < 3000 && QFileInfo(from).size() < years.size() + 30; ++wait) {
                ::usleep(1000);  // till the writer has appended a few records
            }
            const mode_t savedMask = ::umask(0);
            EXPECT_TRUE(moveRegistrationFile(from, to, [&] {
                            ::usleep(20000);  // a store's write, synced, takes a moment
                            writeBytes(stored + u".new"_s, to.toUtf8());
                            ::rename(QFile::encodeName(stored + u".new"_s),
                                     QFile::encodeName(stored));
                            return true;
                        }).ok());
            ::umask(savedMask);
        };
        ASSERT_EQ(inChildren(1, writer, move), std::vector<int>{0});
        const QByteArray found = readBytes(to), expected = years + readBytes(path("saved"));
        EXPECT_TRUE(found == expected)
            << "round " << round << ": " << found.size() << " bytes of " << expected.size();
        EXPECT_FALSE(othersMayWrite(to) || QFile::exists(from));
        QFile::remove(to);
    }
}

// A FIFO once swallowed every record said saved (tried in children: it may block); symlinks.
TEST_F(JournalFileTest, OnlyRegularFilesAreUsedAndSymlinksFollowed) {
    const auto link = [this](const QString& target, const char* name) {
        EXPECT_EQ(::symlink(QFile::encodeName(target), QFile::encodeName(path(name))), 0);
        return path(name);
    };
    ASSERT_EQ(::mkfifo(QFile::encodeName(path("fifo")), 0600), 0);
    const QString odd[] = {path("fifo"), link(path("fifo"), "to-fifo"), dir.path(), u"/dev/null"_s};
    const auto notRegular = [](const auto& result) {
        return !result.ok() && result.error().problem == FileProblem::NotRegular;
    };
    const std::vector<int> refused = inChildren(4, [&](int i) {
        const FileOutcome appended = appendPlain(odd[i], {u"r"_s});
        return !(registrationPathKind(odd[i]) == PathKind::NotRegular && notRegular(appended) &&
                 appended.error().text ==
                     u"Stien er ikke en almindelig fil (en mappe, en FIFO eller en enhed)."_s &&
                 notRegular(readLastRecordLine(odd[i])) &&
                 (i == 3 ||  // never risk removing a device
                  notRegular(moveRegistrationFile(odd[i], path("moved.dat"),
                                                  []() -> bool { std::_Exit(3); }))));
    });
    EXPECT_EQ(refused, std::vector<int>(4, 0));
    const QString file = writeBytes(path("file.dat"), "x;1;-;-;-;0;5\r\n");
    EXPECT_EQ((std::vector{registrationPathKind(file),
                           registrationPathKind(link(u"file.dat"_s, "to-file")),
                           registrationPathKind(link(path("nowhere"), "dangling")),
                           registrationPathKind(path("none"))}),
              (std::vector{PathKind::RegularFile, PathKind::RegularFile, PathKind::Missing,
                           PathKind::Missing}));
    ASSERT_TRUE(appendPlain(path("to-file"), {u"r;1"_s}).ok());  // through the link
    ASSERT_TRUE(QFileInfo(path("to-file")).isSymLink() && QDir(dir.path()).mkdir(u"b"_s));
    ASSERT_TRUE(moveRegistrationFile(path("to-file"), path("b/new.dat"), [] { return true; }).ok());
    EXPECT_FALSE(QFileInfo(path("b/new.dat")).isSymLink() || QFile::exists(path("moved.dat")));
    EXPECT_EQ(readBytes(path("b/new.dat")), "x;1;-;-;-;0;5\r\nr;1\r\n");
    EXPECT_FALSE(QFileInfo::exists(file) || QFileInfo(path("to-file")).isSymLink());
    const QByteArray before = "dato;dag\r\n06-12-2026;3;08:00;16:30;800;2220;125;\r\n";
    const QString existing = writeBytes(path("old.dat"), before);
    const QString copy = otherVolume.filePath(u"new.dat"_s);
    const QStringList lines{u"dato;dag;komme"_s, u"06-12-2026;4;08:00;16:30;800;3020;185;"_s};
    const auto failsOnAFullDisk = [](rlim_t limit, const std::function<FileOutcome()>& step) {
        return failsWithSizeLimit(limit, [&step] {
            const FileOutcome o = step();
            return !o.ok() && o.error().text == systemText(EFBIG);
        });
    };
    // A full disk once left half a record as the last figures; half a new file or copy goes.
    EXPECT_TRUE(failsOnAFullDisk(static_cast<rlim_t>(before.size()) + 20,
                                 [&] { return appendPlain(existing, lines); }));
    EXPECT_TRUE(failsOnAFullDisk(30, [&] { return appendPlain(path("fresh.dat"), lines); }));
    if (otherVolume.isValid()) {
        EXPECT_TRUE(failsOnAFullDisk(20, [&] {
            return moveRegistrationFile(existing, copy, []() -> bool { std::_Exit(2); });
        }));
    }
    EXPECT_EQ(readBytes(existing), before);
    EXPECT_FALSE(QFile::exists(path("fresh.dat")) || QFile::exists(copy));
}

#endif

}  // namespace
}  // namespace horalog
