#include "text/time_text.h"

#include <gtest/gtest.h>

namespace horalog {
namespace {

// Separators skipped; beyond 32 bits refused; a date-time's time starts at the date's length + 2.
TEST(TimeText, ReadConvertedAndShown) {
    // clang-format off
    const std::tuple<const char16_t*, int, std::optional<std::int32_t>> cases[] = {
        {u"08:00", 10, 800}, {u"8:05", 10, 805}, {u"08-05", 10, 805}, {u"805", 10, 805},
        {u"8", 10, 8}, {u"", 10, 0}, {u"abc", 10, 0}, {u"12,30", 10, 12}, {u"-1:30", 10, 130},
        {u"8e2", 10, 800}, {u"8.5", 10, 85}, {u"&H10", 10, 16}, {u"9e99", 10, {}},
        {u"2147483647", 10, 2147483647}, {u"2147483648", 10, {}}, {u"&HFFFF", 10, {}},
        {u"05-12-2026 08:00", 10, 800}, {u"05.12.2026 08.00", 10, 800},  // Danish separators
        {u"05-12-2026 08:00", 8, 608},  // «6 08:» with a short date
        {u"08:00123", 3, 800123}, {u"08:001234", 3, 1234}};
    // clang-format on
    for (const auto& [text, datoLaengde, hhmm] : cases) {
        EXPECT_EQ(Tekst_Til_Tid(QString::fromUtf16(text), datoLaengde), hhmm)
            << QString::fromUtf16(text).toStdString();
    }
    EXPECT_EQ(Tid_Nu(QStringLiteral("8:05:30")) + Tid_Nu(QStringLiteral("14.30.00")),
              QStringLiteral("08:0514.30"));  // seconds cut, the hour padded
    // hhmm to centi-hours (minutes past 59 count on) and back (rounded down), and shown.
    EXPECT_EQ(Omregn_Til_CT(75), 125);
    EXPECT_EQ(Omregn_Til_Tid(83), 50);
    EXPECT_EQ(Omregn_Til_CT(-130), -150);
    EXPECT_EQ(Omregn_Til_CT(2147483628), 2147483647);
    EXPECT_FALSE(Omregn_Til_CT(2147483647).has_value());  // 2147483600 + 78
    EXPECT_FALSE(Omregn_Til_CT(-2147483647).has_value());
    EXPECT_EQ(Omregn_Til_Tid(-2147483647 - 1), -2147483629);
    const std::pair<std::int32_t, const char*> shown[] = {
        {0, "00:00"},      {5, "00:05"},      {805, "08:05"}, {-5, "-0:05"},
        {-1234, "-12:34"}, {12345, "123:45"}, {175, "01:75"}, {-2147483647 - 1, "-21474836:48"}};
    for (const auto& [value, text] : shown) {
        EXPECT_EQ(Formater_Tid(value), QLatin1String(text)) << value;
    }
}

}  // namespace
}  // namespace horalog
