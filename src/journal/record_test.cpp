#include "journal/record.h"

#include <gtest/gtest.h>

#include <string_view>
#include <utility>

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

// The last figures as every reader reads them: a spreadsheet's save as the original, a figure
// with a NUL or any byte but its digits and sign refused (a NUL once read «1\0» «10» as 1).
TEST(FileFigures, FromTheLastLine) {
    using namespace std::string_view_literals;
    const QString unreadable =
        QStringLiteral("Den sidste registrering har et tal, der ikke kan læses: ");
    const std::pair<std::string_view, QString> cases[] = {
        {"08-12-26;1;08:10:00;16:00:00;733;733;-332;;"sv, QStringLiteral("1 733 -332")},
        {"\"08-12-26\";\"1\";\"08:10\";\"16:00\";\"733\";\"733\";\"-332\""sv,
         QStringLiteral("1 733 -332")},
        {"\xEF\xBB\xBF\"dato\";\"dag\";\"komme\";\"g\xE5\";\"tid\";\"periode\";\"total\";"sv,
         QStringLiteral("0 0 0")},  // the header, as it always read
        {"08-12-2026;1;08:00;16:00;750;750;1\x00"
         "10;"sv,
         unreadable + QStringLiteral("08-12-2026;1;08:00;16:00;750;750;1\uFFFD10;")},
        {"13-05-2026;44;;;;;;"sv, unreadable + QStringLiteral("13-05-2026;44;;;;;;")},
        {"x;+1;-;-;-;0; 7"sv, unreadable + QStringLiteral("x;+1;-;-;-;0; 7")},
        {"x;1;-;-;-;0;2147483648"sv,
         QStringLiteral("Den sidste registrering har et tal, der er for stort: "
                        "x;1;-;-;-;0;2147483648")},
        {"x;1;-;-;-;0"sv, QString()},  // no record: nothing
    };
    for (const auto& [line, expected] : cases) {
        const auto read = figuresFromLine(
            fromWindows1252(QByteArray(line.data(), static_cast<qsizetype>(line.size()))));
        const QString got = !read.ok() ? read.error()
                            : *read    ? QStringLiteral("%1 %2 %3")
                                          .arg((*read)->dage)
                                          .arg((*read)->sum)
                                          .arg((*read)->total)
                                    : QString();
        EXPECT_EQ(got, expected) << line;
    }
}

}  // namespace
}  // namespace horalog
