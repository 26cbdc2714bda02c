#include "journal/records.h"

#include <gtest/gtest.h>

#include <tuple>

namespace horalog {
namespace {

// Each record's kind told by its fields, its date whole (two-digit years pivot at 69), the times
// of a working day and the amounts; a record whose figures cannot be read is named by its line.
TEST(RecordReader, KindsDatesTimesAndUnreadableLines) {
    using K = Entry::Kind;
    using Row = std::tuple<K, int, QDate, int, int, std::int64_t, std::int32_t>;
    std::vector<Row> read;
    RecordReader reader([&read](const Entry& e) {
        read.emplace_back(e.kind, e.month, e.date, e.arrival, e.departure, e.worked, e.total);
    });
    for (const char* line : {
             "dato;dag;komme;g\xE5;tid;periode;total;kommentar",  // the header: passed over
             "05-12-2026;0;-;-;-;0;150",                          // a file's opening record
             "07-12-2026;1;22:00;6.30;800;800;60;",               // a night, «6.30» as 06:30
             "08-12-68;1;-;-;-7,4;793;53;afspadsering",           // time off, 2068
             "09-12-69;0;-;-;-;0;53;Nulstillet",                  // a reset, 1969
             "10-12-2026;0;08:00;-;-;0;53;x",                     // an arrival alone: no reset
             "31-02-2026;2;8:05;24:00;+750;1543;63;",             // no such day; no clock time
             "x;99999999999;-;-;-;0;0",                           // a day count too large
             "13-13-2026;1;08:00;16:00;750;750;10;",              // no such month
             "short;line",
         }) {
        reader.addLine(line);
    }
    // kind, month, date, arrival, departure, worked, total
    EXPECT_EQ(read, (std::vector<Row>{
                        {K::Opening, 202612, QDate(2026, 12, 5), -1, -1, 0, 150},
                        {K::Work, 202612, QDate(2026, 12, 7), 22 * 60, 6 * 60 + 30, 800, 60},
                        {K::TimeOff, 206812, QDate(2068, 12, 8), -1, -1, 7, 53},
                        {K::Reset, 196912, QDate(1969, 12, 9), -1, -1, 0, 53},
                        {K::Work, 202612, QDate(2026, 12, 10), 8 * 60, -1, 0, 53},
                        {K::Work, 202602, QDate(), 8 * 60 + 5, -1, 750, 63},
                    }));
    EXPECT_EQ(reader.unreadable(), QStringList({QStringLiteral("8"), QStringLiteral("9")}));
}

}  // namespace
}  // namespace horalog
