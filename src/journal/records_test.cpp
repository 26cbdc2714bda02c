#include "journal/records.h"

#include <gtest/gtest.h>

#include <QElapsedTimer>
#include <QFile>
#include <QTemporaryDir>
#include <optional>
#include <string>
#include <tuple>

#include "file_bytes.h"
#include "journal/file_figures.h"
#include "journal/overview.h"
#include "journal/record.h"
#include "journal/report.h"

namespace horalog {
namespace {

// Each record's kind told by its fields, its date whole (two-digit years pivot at 69), the times
// of a working day and the amounts; a record whose figures cannot be read is named by its line.
// A spreadsheet's save (quotes, seconds, a ninth field, a byte-order mark) reads as the original.
TEST(RecordReader, KindsDatesTimesAndUnreadableLines) {
    using K = Entry::Kind;
    using Row = std::tuple<K, int, QDate, int, int, std::int64_t, std::int32_t>;
    using namespace std::string_view_literals;
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
            // A spreadsheet's save: the header quoted after a byte-order mark, an opening
            // record's empty ninth field (no reset), times with seconds, a comment split at «;».
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
    EXPECT_EQ(unreadableMessages(lines(0)), QStringList());
    EXPECT_EQ(unreadableNote(lines(0)), QString());
    EXPECT_EQ(unreadableMessages(lines(1)),
              QStringList(QStringLiteral("Linje 84 kan ikke læses og er sprunget over.")));
    EXPECT_EQ(unreadableNote(lines(1)),
              QStringLiteral("1 linje i registreringsfilen kunne ikke læses (linje 84)."));
    EXPECT_EQ(unreadableMessages(lines(20)).size(), 20);
    EXPECT_EQ(unreadableMessages(lines(21)).mid(19),
              QStringList({QStringLiteral("Linje 103 kan ikke læses og er sprunget over."),
                           QStringLiteral("… og 1 linje mere")}));
    const UnreadableLines many = lines(7100000);
    EXPECT_EQ(many.first().size(), 20U);
    EXPECT_EQ(unreadableMessages(many).constLast(), QStringLiteral("… og 7.099.980 linjer mere"));
    EXPECT_EQ(unreadableNote(many), QStringLiteral("7.100.000 linjer i registreringsfilen kunne "
                                                   "ikke læses (første: linje 84)."));
}

// The peak of the process's resident memory in KB, counted from now on when `fresh`; nothing
// where the system cannot tell.
std::optional<qint64> peakMemory(bool fresh) {
    QFile reset(QStringLiteral("/proc/self/clear_refs"));
    if (fresh && !(reset.open(QIODevice::WriteOnly) && reset.write("5") == 1 && reset.flush())) {
        return std::nullopt;
    }
    QFile status(QStringLiteral("/proc/self/status"));
    if (!status.open(QIODevice::ReadOnly)) {
        return std::nullopt;
    }
    for (const QByteArray& line : status.readAll().split('\n')) {
        if (line.startsWith("VmHWM:")) {
            return line.mid(6).trimmed().split(' ').constFirst().toLongLong();
        }
    }
    return std::nullopt;
}

// A million unreadable lines and a 100 MB line without a line end (a crash's NULs, sparse on
// disk) between two records: both records read, every bad line counted and only twenty named,
// in well under a second and a few megabytes. The names once took 500 MB, the long line twice
// its length.
TEST(RecordReader, HostileFilesInBoundedTimeAndMemory) {
    QTemporaryDir dir;
    const QString path = dir.filePath(QStringLiteral("hostile.dat"));
    QFile file(path);
    ASSERT_TRUE(file.open(QIODevice::WriteOnly));
    file.write("01-12-2026;1;08:00;16:00;750;750;10;\r\n");
    const QByteArray bad = QByteArray("x;1;-;-;-;0;0\n").repeated(100000);
    for (int i = 0; i < 10; ++i) {
        ASSERT_EQ(file.write(bad), bad.size());
    }
    ASSERT_TRUE(file.seek(file.pos() + 100 * 1024 * 1024));
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

// The file as the program wrote it and as a spreadsheet saved it (quoted fields, times with
// seconds, two-digit years, a comment split at «;», a ninth field, LF alone): the same last
// figures, which a day appended after it continues (01:00-05:00, 9:00 after the last day's
// 16:00: a finding only when that time is read), then the same report, overview and findings.
TEST(SpreadsheetSave, ReadAsTheOriginal) {
    QTemporaryDir dir;
    const QDate today(2026, 12, 9);
    QStringList seen;
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
        QString chart = overview->months.table() + overview->findings.join(u'\n');
        for (const auto& [date, total] : overview->chart.flex) {
            chart += QStringLiteral(" %1=%2").arg(date.toString(Qt::ISODate)).arg(total);
        }
        for (const ChartWeek& w : overview->chart.weeks) {
            chart += QStringLiteral(" %1:%2/%3")
                         .arg(w.monday.toString(Qt::ISODate))
                         .arg(w.worked)
                         .arg(w.days);
        }
        seen << report->table() + chart;
    }
    EXPECT_EQ(seen[0], seen[1]);
}

}  // namespace
}  // namespace horalog
