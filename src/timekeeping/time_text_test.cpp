#include "timekeeping/time_text.h"

#include <gtest/gtest.h>

namespace horalog {
namespace {

TEST(TekstTilTid, TimeTexts) {
    const char16_t* texts[] = {u"08:00", u"16:30", u"8:05", u"8.05", u"08-05",
                               u"805",   u"8 05",  u"8",    u"",     u"abc",
                               u"12,30", u"-1:30", u"8e2",  u"0:00", u"8.5"};
    const std::int32_t hhmm[] = {800, 1630, 805, 805, 805, 805, 805, 8, 0, 0, 12, 130, 800, 0, 85};
    for (std::size_t i = 0; i < std::size(texts); ++i) {
        EXPECT_EQ(Tekst_Til_Tid(QString::fromUtf16(texts[i]), 10), hhmm[i]) << i;
    }
    // The time part of a date-time text starts at datoLaengde + 2; a text of exactly
    // datoLaengde + 5 characters is read whole.
    EXPECT_EQ(Tekst_Til_Tid(u"05-12-2026 08:00", 10), 800);
    EXPECT_EQ(Tekst_Til_Tid(u"05-12-2026 08:00", 8), 608);  // «6 08:» with a short date
    EXPECT_EQ(Tekst_Til_Tid(u"05-12-26 08:15", 8), 815);
    EXPECT_EQ(Tekst_Til_Tid(u"08:00123", 3), 800123);
    EXPECT_EQ(Tekst_Til_Tid(u"08:001234", 3), 1234);
    EXPECT_EQ(Tid_Nu(QStringLiteral("8:05:30")) + Tid_Nu(QStringLiteral("14.30.00")),
              QStringLiteral("08:0514.30"));  // seconds cut, the hour padded
}

TEST(TekstTilTid, DigitsBeyond32BitsAreRefused) {
    EXPECT_EQ(Tekst_Til_Tid(u"2147483647", 10), 2147483647);
    EXPECT_FALSE(Tekst_Til_Tid(u"2147483648", 10).has_value());
    EXPECT_FALSE(Tekst_Til_Tid(u"99999999999999", 20).has_value());
    EXPECT_FALSE(Tekst_Til_Tid(u"9e99", 10).has_value());
    EXPECT_FALSE(Tekst_Til_Tid(u"&HFFFF", 10).has_value());  // reads -1: no time of day
    EXPECT_EQ(Tekst_Til_Tid(u"&H10", 10), 16);
}

TEST(FormaterTid, Values) {
    const std::int32_t values[] = {0, 5, 805, 2359, -5, -130, -1234, 12345, 175, -2147483647 - 1};
    const char* texts[] = {"00:00", "00:05",  "08:05",  "23:59", "-0:05",
                           "-1:30", "-12:34", "123:45", "01:75", "-21474836:48"};
    for (std::size_t i = 0; i < std::size(values); ++i) {
        EXPECT_EQ(Formater_Tid(values[i]), QLatin1String(texts[i])) << values[i];
    }
}

// hhmm to centi-hours and back; the minutes are rounded down on the way back.
TEST(OmregnTilCT, Values) {
    const std::int32_t hhmm[] = {805,  130,  1,  2, 59,         60,        75,
                                 2359, -130, -1, 0, 2147483559, 2147483628};
    const std::int32_t ct[] = {808,  150,  2,  3, 98,         100,       125,
                               2398, -150, -2, 0, 2147483598, 2147483647};
    for (std::size_t i = 0; i < std::size(hhmm); ++i) {
        EXPECT_EQ(Omregn_Til_CT(hhmm[i]), ct[i]) << hhmm[i];
    }
    EXPECT_FALSE(Omregn_Til_CT(2147483647).has_value());  // 2147483600 + 78
    EXPECT_FALSE(Omregn_Til_CT(-2147483647).has_value());
    const std::int32_t cts[] = {808, 50, 83, 99, 1, 2, 3, 740, -850, -2, -2147483647 - 1};
    const std::int32_t back[] = {805, 30, 50, 59, 1, 1, 2, 724, -830, -1, -2147483629};
    for (std::size_t i = 0; i < std::size(cts); ++i) {
        EXPECT_EQ(Omregn_Til_Tid(cts[i]), back[i]) << cts[i];
    }
}

}  // namespace
}  // namespace horalog
