#include "journal/records.h"

#include <gtest/gtest.h>

#include <QElapsedTimer>
#include <QTemporaryDir>
#include <optional>
#include <string>
#include <tuple>

#include "file_bytes.h"
#include "journal/file_figures.h"
#include "journal/overview.h"
#include "journal/record.h"
#include "journal/windows1252.h"

namespace horalog {
namespace {

using namespace std::string_view_literals;

TEST(Windows1252, RoundTripOfEveryByte) {
    QByteArray all;
    for (int b = 0; b < 256; ++b) {
        all.append(static_cast<char>(b));
    }
    EXPECT_EQ(toWindows1252(fromWindows1252(all)), all);
    EXPECT_EQ(fromWindows1252("\x80\xE6\xF8\xE5"), QStringLiteral("€æøå"));
    EXPECT_EQ(toWindows1252(QStringLiteral("\u4e2d")), QByteArray("?"));
    EXPECT_EQ(notInWindows1252(QStringLiteral("€æ Ł😀Ł")), QStringLiteral("Ł😀"));
    EXPECT_EQ(notInWindows1252(QStringLiteral("€æøå")), QString());
}

// The last figures: a spreadsheet's save as the original; a NUL once read «1\0» «10» as 1.
TEST(FileFigures, FromTheLastLine) {
    const QString unreadable =
        QStringLiteral("Den sidste registrering har et tal, der ikke kan læses: ");
    const std::pair<std::string_view, QString> cases[] = {
        {"08-12-26;1;08:10:00;16:00:00;733;733;-332;;"sv, "1 733 -332"},
        {"\"08-12-26\";\"1\";\"08:10\";\"16:00\";\"733\";\"733\";\"-332\""sv, "1 733 -332"},
        {"\xEF\xBB\xBF\"dato\";\"dag\";\"komme\";\"g\xE5\";\"tid\";\"periode\";\"total\";"sv,
         "0 0 0"},  // the header, as it always read
        {"08-12-2026;1;08:00;16:00;750;750;1\x00"
         "10;"sv,
         unreadable + "08-12-2026;1;08:00;16:00;750;750;1\uFFFD10;"},
        {"13-05-2026;44;;;;;;"sv, unreadable + "13-05-2026;44;;;;;;"},
        {"x;+1;-;-;-;0; 7"sv, unreadable + "x;+1;-;-;-;0; 7"},
        {"x;1;-;-;-;0;2147483648"sv,
         "Den sidste registrering har et tal, der er for stort: x;1;-;-;-;0;2147483648"},
        {"x;1;-;-;-;0"sv, QString()},  // no record: nothing
    };
    for (const auto& [line, expected] : cases) {
        const auto read =
            figuresFromLine(fromWindows1252(QByteArray::fromStdString(std::string(line))));
        QString got = read.ok() ? QString() : read.error();
        if (read.ok() && *read) {
            got =
                QStringLiteral("%1 %2 %3").arg((*read)->dage).arg((*read)->sum).arg((*read)->total);
        }
        EXPECT_EQ(got, expected) << line;
    }
}

// Each record's kind told by its fields, its date whole (two-digit years pivot at 69), its times
// and amounts, a spreadsheet's save as the original; unreadable records named by their line.
TEST(RecordReader, KindsDatesTimesAndUnreadableLines) {
    using K = Entry::Kind;
    using Row = std::tuple<K, int, QDate, int, int, std::int64_t, std::int32_t>;
    std::vector<Row> read;
    RecordReader reader([&read](const Entry& e) {
        read.emplace_back(e.kind, e.month, e.date, e.arrival, e.departure, e.worked, e.total);
    });
    const std::string record = "11-12-2026;1;08:00;16:00;750;750;10;";
    for (
        const std::string_view line : {
            "dato;dag;komme;g\xE5;tid;periode;total;kommentar"sv,  // the header: passed over
            "05-12-2026;0;-;-;-;0;150"sv,                          // a file's opening record
            "07-12-2026;1;22:00;6.30;800;800;60;"sv,               // a night, «6.30» as 06:30
            "08-12-68;1;-;-;-7,4;793;53;afspadsering"sv,           // time off, 2068
            "09-12-69;0;-;-;-;0;53;Nulstillet"sv,                  // a reset, 1969
            "10-12-2026;0;08:00;-;-;0;53;x"sv,                     // an arrival alone: no reset
            "31-02-2026;2;8:05;24:00;+750;1543;63;"sv,             // no such day; no clock time
            "x;99999999999;-;-;-;0;0"sv,                           // 8: a day count too large
            "13-13-2026;1;08:00;16:00;750;750;10;"sv,              // 9: no such month
            "short;line"sv,
            // A spreadsheet's save: an opening record's empty ninth field is no reset.
            "\xEF\xBB\xBF\"dato\";\"dag\";\"komme\";\"g\xE5\";\"tid\";\"periode\";\"total\";\"kommentar\";"sv,
            "30-11-26;0;\"-\";\"-\";\"-\";0;125;;"sv,
            "01-12-26;1;08:00:00;16:00:59;750;750;135;;"sv,
            "03-12-26;3;\"-\";\"-\";-740;1575;-520;\"afspadsering\";\" tandl\xE6ge\""sv,
            "08-12-26;0;\"-\";\"-\";\"-\";0;-325;\"periode afsluttet/nulstillet\";"sv,
            "\"09-12-2026\";\"1\";\"08:00\";\"16:00:60\";\"750\";\"750\";\"10\""sv,
            "10-12-2026;1;-;-;-1,234568E+07;0;-12345680;"sv,  // time off beyond seven digits
            "13-05-2026;44;;;;;;"sv,                          // 18: empty fields
            "08-12-2026;1;08:00;16:00;750;750;1\x00"
            "10;"sv,                                    // 19: a NUL in a figure
            "08-12-2026;1;08:00;16:00;750;750;1x0;"sv,  // 20: a stray byte
            "08-12-2026;1;08:00;16:00;7 50;750;10;"sv,  // 21: a blank in the worked time
            "08-12-2026;1;-;-;-7,4x;793;53;"sv,         // 22: time off that is no amount
            "08-12-2026;0;-;-;-;0;53;"sv,  // no comment: an opening record, not a reset
        }) {
        reader.addLine(line);
    }
    // The longest line a record can be, and one byte more (24, 25).
    reader.addLine(record + std::string(kLongestLine - record.size(), 'x'));
    reader.addLine(record + std::string(kLongestLine + 1 - record.size(), 'x'));
    // kind, month, date, arrival, departure, worked, total
    EXPECT_EQ(read, (std::vector<Row>{
                        {K::Opening, 202612, QDate(2026, 12, 5), -1, -1, 0, 150},
                        {K::Work, 202612, QDate(2026, 12, 7), 22 * 60, 6 * 60 + 30, 800, 60},
                        {K::TimeOff, 206812, QDate(2068, 12, 8), -1, -1, 7, 53},
                        {K::Reset, 196912, QDate(1969, 12, 9), -1, -1, 0, 53},
                        {K::Work, 202612, QDate(2026, 12, 10), 8 * 60, -1, 0, 53},
                        {K::Work, 202602, QDate(), 8 * 60 + 5, -1, 750, 63},
                        {K::Opening, 202611, QDate(2026, 11, 30), -1, -1, 0, 125},
                        {K::Work, 202612, QDate(2026, 12, 1), 8 * 60, 16 * 60, 750, 135},
                        {K::TimeOff, 202612, QDate(2026, 12, 3), -1, -1, 740, -520},
                        {K::Reset, 202612, QDate(2026, 12, 8), -1, -1, 0, -325},
                        {K::Work, 202612, QDate(2026, 12, 9), 8 * 60, -1, 750, 10},
                        {K::TimeOff, 202612, QDate(2026, 12, 10), -1, -1, 12345680, -12345680},
                        {K::Opening, 202612, QDate(2026, 12, 8), -1, -1, 0, 53},
                        {K::Work, 202612, QDate(2026, 12, 11), 8 * 60, 16 * 60, 750, 10},
                    }));
    EXPECT_EQ(reader.unreadable().first(), (std::vector<qint64>{8, 9, 18, 19, 20, 21, 22, 25}));
    EXPECT_EQ(reader.unreadable().count(), 8);
}

// The first twenty unreadable lines are named, the rest counted; the overview says how many.
TEST(UnreadableLines, NamedThenCounted) {
    const auto lines = [](qint64 count) {
        UnreadableLines u;
        for (qint64 i = 1; i <= count; ++i) {
            u.add(i + 83);
        }
        return u;
    };
    EXPECT_EQ(unreadableMessages(lines(0)) << unreadableNote(lines(0)), QStringList{QString()});
    EXPECT_EQ(unreadableMessages(lines(1)) << unreadableNote(lines(1)),
              QStringList({"Linje 84 kan ikke læses og er sprunget over.",
                           "1 linje i registreringsfilen kunne ikke læses (linje 84)."}));
    EXPECT_EQ(unreadableMessages(lines(20)).size(), 20);
    const UnreadableLines many = lines(7100000);
    EXPECT_EQ(many.first().size(), 20U);
    EXPECT_EQ(unreadableMessages(lines(21)).mid(19)
                  << unreadableMessages(many).constLast() << unreadableNote(many),
              QStringList(
                  {"Linje 103 kan ikke læses og er sprunget over.", "… og 1 linje mere",
                   "… og 7.099.980 linjer mere",
                   "7.100.000 linjer i registreringsfilen kunne ikke læses (første: linje 84)."}));
}

// The process's peak resident memory in KB, counted from now on when `fresh`, if it can be told.
std::optional<qint64> peakMemory(bool fresh) {
    QFile reset(QStringLiteral("/proc/self/clear_refs"));
    if (fresh && !(reset.open(QIODevice::WriteOnly) && reset.write("5") == 1 && reset.flush())) {
        return std::nullopt;
    }
    const QByteArray status = testing::readBytes(QStringLiteral("/proc/self/status"));
    const qsizetype at = status.indexOf("\nVmHWM:");
    return at < 0 ? std::nullopt : std::optional(status.mid(at + 7, 20).trimmed().toLongLong());
}

// A million unreadable lines and a crash's 100 MB of NULs between two records, read in bounded
// time and memory: the names once took 500 MB, the long line twice its length.
TEST(RecordReader, HostileFilesInBoundedTimeAndMemory) {
    QTemporaryDir dir;
    const QString path = testing::writeBytes(dir.filePath(QStringLiteral("hostile.dat")),
                                             "01-12-2026;1;08:00;16:00;750;750;10;\r\n" +
                                                 QByteArray("x;1;-;-;-;0;0\n").repeated(1000000));
    QFile file(path);
    ASSERT_TRUE(file.open(QIODevice::ReadWrite) && file.seek(file.size() + 100 * 1024 * 1024));
    file.write("\r\n02-12-2026;2;08:00;16:00;750;1500;20;\r\n");
    file.close();
    const auto before = peakMemory(true);
    QElapsedTimer timer;
    timer.start();
    const auto report = readReport(path);
#ifdef __SANITIZE_ADDRESS__
    constexpr qint64 kBoundMs = 10000;  // the sanitizers' own cost, with other tests beside
#else
    constexpr qint64 kBoundMs = 2000;
#endif
    EXPECT_LT(timer.elapsed(), kBoundMs);
    const auto after = peakMemory(false);
    if (before && after) {
        EXPECT_LT(*after - *before, 16 * 1024);
    }
    ASSERT_TRUE(report.ok());
    EXPECT_TRUE(report->csv().endsWith(QStringLiteral("\n2026-12;2;1500;0;0;20\n")));
    EXPECT_EQ(report->unreadable().count(), 1000001);
    EXPECT_EQ(report->unreadable().first().front(), 2);
    EXPECT_EQ(report->unreadable().first().back(), 21);
}

// The file as written and as a spreadsheet saved it: the same figures, which a day appended
// continues (9:00 of rest after 16:00: a finding only when that time is read), the same report.
TEST(SpreadsheetSave, ReadAsTheOriginal) {
    QTemporaryDir dir;
    const QDate today(2026, 12, 9);
    QStringList seen;
    std::vector<ChartData> charts;
    for (const char* name : {"spreadsheet-original.dat", "spreadsheet-saved.dat"}) {
        const QString copy = dir.filePath(QLatin1String(name));
        ASSERT_TRUE(QFile::copy(QStringLiteral(HORALOG_TEST_DATA "/") + QLatin1String(name), copy));
        QFile(copy).setPermissions(QFile::ReadOwner | QFile::WriteOwner);
        const FileFigures figures = readFileFigures(copy);
        ASSERT_TRUE(figures.ok() && figures->figures) << name;
        EXPECT_EQ(*figures->figures, (Figures{1, 733, -332})) << name;
        ASSERT_TRUE(appendRecords(copy, std::nullopt, {}, [](const Figures& f) {
                        const Figures after{static_cast<std::int16_t>(f.dage + 1), f.sum + 400,
                                            f.total - 340};
                        return QStringList{
                            dayRecord(QStringLiteral("09-12-2026"), after, 100, 500, 400)};
                    }).ok());
        EXPECT_TRUE(
            testing::readBytes(copy).endsWith("\n09-12-2026;2;01:00;05:00;400;1133;-672;\r\n"));
        const auto report = readReport(copy);
        const auto overview = readOverview(copy, chartStart(today), today);
        ASSERT_TRUE(report.ok() && overview.ok()) << name;
        EXPECT_EQ(report->csv(), QStringLiteral("måned;arbejdsdage;arbejdstid;afspadsering;"
                                                "nulstillinger;flex\n2026-11;0;0;0;0;125\n"
                                                "2026-12;6;4383;740;1;-672\n"));
        EXPECT_EQ(report->unreadable().count() + overview->months.unreadable().count(), 0);
        EXPECT_EQ(overview->findings.size(), 1) << name;
        seen << report->table() + overview->months.table() + overview->findings.join(u'\n');
        charts.push_back(overview->chart);
    }
    EXPECT_EQ(seen[0], seen[1]);
    EXPECT_EQ(charts[0].flex, charts[1].flex);
    EXPECT_EQ(charts[0].weeks, charts[1].weeks);
}

// A span's start total, each day's last total, its weeks' hours and days of work. Time off is no
// work; a record after the span, or corrected out of order, counts on its own date.
TEST(ChartCollector, DaysAndWeeksFromTheFile) {
    ChartCollector chart(QDate(2026, 12, 2), QDate(2026, 12, 9));
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
    EXPECT_EQ(chartStart(QDate(2026, 12, 7)), QDate(2025, 12, 8));  // twelve months up to today
    EXPECT_EQ(chartStart(QDate(2028, 2, 29)), QDate(2027, 3, 1));
}

}  // namespace
}  // namespace horalog
