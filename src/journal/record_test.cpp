#include "journal/file_figures.h"

#include <gtest/gtest.h>

#include <QTemporaryDir>

#include "file_bytes.h"
#include "journal/windows1252.h"

namespace horalog {
namespace {

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
    ASSERT_TRUE(createRegistrationFile(path, QStringLiteral("05-12-2026"), -35).ok());
    testing::writeBytes(path, testing::readBytes(path) + "x;32768;-;-;-;0;0\r\n");
    const FileFigures bad = readFileFigures(path);
    ASSERT_FALSE(bad.ok());
    EXPECT_EQ(bad.error().text,
              QStringLiteral("Den sidste registrering har et tal, der er for stort: "
                             "x;32768;-;-;-;0;0"));
    EXPECT_FALSE(readFileFigures(dir.filePath(QStringLiteral("none"))).ok());
}

}  // namespace
}  // namespace horalog
