#include "journal/record.h"

#include <gtest/gtest.h>

#include <QFile>
#include <QTemporaryDir>

#include "journal/windows1252.h"

namespace horalog {
namespace {

const QString kDate = QStringLiteral("05-12-2026");

TEST(Record, LinesAndTheirFigures) {
    EXPECT_EQ(dayRecord(kDate, {1, -100, -840}, 800, 750, -100),
              QStringLiteral("05-12-2026;1;08:00;07:30;-100;-100;-840;"));
    const char* lines[] = {"05-12-2026;4;08:00;16:30;800;3020;185;",
                           "05-12-2026;1;-;-;-733,3;-733;-530;a;b;c",
                           " ; 2 ;;;; 12.5 ; 13.5 ",
                           "",
                           "a;b;c;d;e;f",
                           "x;32768;-;-;-;0;0",
                           "x;1;-;-;-;0;2147483648"};
    const LineReading reading[] = {LineReading::Read,         LineReading::Read,
                                   LineReading::Read,         LineReading::TooFewFields,
                                   LineReading::TooFewFields, LineReading::OutOfRange,
                                   LineReading::OutOfRange};
    const Figures figures[] = {{4, 3020, 185}, {1, -733, -530}, {2, 12, 14}};
    for (std::size_t i = 0; i < std::size(lines); ++i) {
        Figures f{9, 9, 9};
        EXPECT_EQ(figuresFromLine(fromWindows1252(lines[i]), f), reading[i]) << lines[i];
        EXPECT_EQ(f, i < std::size(figures) ? figures[i] : (Figures{9, 9, 9})) << lines[i];
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
    EXPECT_EQ(notInWindows1252(QStringLiteral("€æ Ł😀Ł")), QStringLiteral("Ł😀"));
    EXPECT_EQ(notInWindows1252(QStringLiteral("€æøå")), QString());
}

TEST(FileFigures, ReadAndCreate) {
    QTemporaryDir dir;
    const QString path = dir.filePath(QStringLiteral("h.dat"));
    ASSERT_TRUE(createRegistrationFile(path, kDate, -35).ok);
    QFile file(path);
    ASSERT_TRUE(file.open(QIODevice::Append));
    file.write("x;32768;-;-;-;0;0\r\n");
    file.close();
    const FileFigures bad = readFileFigures(path);
    EXPECT_FALSE(bad.ok);
    EXPECT_EQ(bad.error, QStringLiteral("Den sidste registrering har et tal, der er for stort: "
                                        "x;32768;-;-;-;0;0"));
    EXPECT_FALSE(readFileFigures(dir.filePath(QStringLiteral("none"))).ok);
    EXPECT_FALSE(createRegistrationFile(dir.filePath(QStringLiteral("no/h.dat")), kDate, 0).ok);
}

}  // namespace
}  // namespace horalog
