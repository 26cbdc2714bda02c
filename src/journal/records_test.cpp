#include "journal/records.h"

#include <gtest/gtest.h>

#include <string>
#include <tuple>

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

}  // namespace
}  // namespace horalog
