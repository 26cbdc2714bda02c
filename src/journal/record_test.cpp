#include "journal/record.h"

#include <gtest/gtest.h>

#include "journal/windows1252.h"

namespace horalog {
namespace {

const QString kDate = QStringLiteral("05-12-2026");

TEST(Record, Lines) {
    EXPECT_EQ(toWindows1252(headerLine()),
              QByteArray("dato;dag;komme;g\xE5;tid;periode;total;kommentar"));
    EXPECT_EQ(openingRecord(kDate, 150), QStringLiteral("05-12-2026;0;-;-;-;0;150"));
    EXPECT_EQ(openingRecord(kDate, -35), QStringLiteral("05-12-2026;0;-;-;-;0;-35"));
    EXPECT_EQ(dayRecord(kDate, {4, 3020, 185}, 800, 1650, 800),
              QStringLiteral("05-12-2026;4;08:00;16:30;800;3020;185;"));
    EXPECT_EQ(dayRecord(kDate, {1, -100, -840}, 800, 750, -100),
              QStringLiteral("05-12-2026;1;08:00;07:30;-100;-100;-840;"));
    EXPECT_EQ(timeOffRecord(kDate, {12, 8030, -365}, QStringLiteral("-740"),
                            QStringLiteral("afspadsering")),
              QStringLiteral("05-12-2026;12;-;-;-740;8030;-365;afspadsering"));
    EXPECT_EQ(resetRecord(kDate, -365),
              QStringLiteral("05-12-2026;0;-;-;-;0;-365;periode afsluttet/nulstillet"));
}

TEST(Record, FiguresFromLine) {
    const struct {
        const char* line;
        LineReading reading;
        Figures figures;
    } cases[] = {
        {"05-12-2026;4;08:00;16:30;800;3020;185;", LineReading::Read, {4, 3020, 185}},
        {"05-12-2026;0;-;-;-;0;150", LineReading::Read, {0, 0, 150}},
        {"05-12-2026;1;-;-;-733,3;-733;-530;a;b;c", LineReading::Read, {1, -733, -530}},
        {"dato;dag;komme;g\xE5;tid;periode;total;kommentar", LineReading::Read, {0, 0, 0}},
        {"05-12-2026;0;-;-;-;0;-365;periode afsluttet/nulstillet", LineReading::Read, {0, 0, -365}},
        {" ; 2 ;;;; 12.5 ; 13.5 ", LineReading::Read, {2, 12, 14}},
        {"", LineReading::TooFewFields, {9, 9, 9}},
        {"a;b;c;d;e;f", LineReading::TooFewFields, {9, 9, 9}},
        {"x;32768;-;-;-;0;0", LineReading::OutOfRange, {9, 9, 9}},
        {"x;1;-;-;-;0;2147483648", LineReading::OutOfRange, {9, 9, 9}},
    };
    for (const auto& c : cases) {
        Figures f{9, 9, 9};
        EXPECT_EQ(figuresFromLine(fromWindows1252(c.line), f), c.reading) << c.line;
        EXPECT_EQ(f, c.figures) << c.line;
    }
}

TEST(Windows1252, RoundTripOfEveryByte) {
    QByteArray all;
    for (int b = 0; b < 256; ++b) {
        all.append(static_cast<char>(b));
    }
    EXPECT_EQ(toWindows1252(fromWindows1252(all)), all);
    EXPECT_EQ(fromWindows1252("\x80\xE6\xF8\xE5"), QStringLiteral("€æøå"));
    EXPECT_EQ(toWindows1252(QStringLiteral("\u4e2d")), QByteArray("?"));
}

}  // namespace
}  // namespace horalog
