#include "text/time_text.h"

#include <gtest/gtest.h>

namespace horalog {
namespace {

// Separators and blanks are skipped, the first other character ends the time; what does not fit
// in 32 bits, or reads as no time of day, is refused.
TEST(TekstTilTid, TimeTexts) {
    const char16_t* texts[] = {u"08:00", u"8:05", u"08-05", u"805",        u"8",
                               u"",      u"abc",  u"12,30", u"-1:30",      u"8e2",
                               u"8.5",   u"&H10", u"9e99",  u"2147483647", u"2147483648"};
    const std::optional<std::int32_t> hhmm[] = {800, 805, 805, 805, 8,  0,          0, 12,
                                                130, 800, 85,  16,  {}, 2147483647, {}};
    for (std::size_t i = 0; i < std::size(texts); ++i) {
        EXPECT_EQ(Tekst_Til_Tid(QString::fromUtf16(texts[i]), 10), hhmm[i]) << i;
    }
    EXPECT_FALSE(Tekst_Til_Tid(u"&HFFFF", 10).has_value());  // reads -1: no time of day
    // The time part of a date-time text starts at datoLaengde + 2; a text of exactly
    // datoLaengde + 5 characters is read whole.
    EXPECT_EQ(Tekst_Til_Tid(u"05-12-2026 08:00", 10), 800);
    EXPECT_EQ(Tekst_Til_Tid(u"05.12.2026 08.00", 10), 800);  // Danish date and time separators
    EXPECT_EQ(Tekst_Til_Tid(u"05-12-2026 08:00", 8), 608);   // «6 08:» with a short date
    EXPECT_EQ(Tekst_Til_Tid(u"08:00123", 3), 800123);
    EXPECT_EQ(Tekst_Til_Tid(u"08:001234", 3), 1234);
    EXPECT_EQ(Tid_Nu(QStringLiteral("8:05:30")) + Tid_Nu(QStringLiteral("14.30.00")),
              QStringLiteral("08:0514.30"));  // seconds cut, the hour padded
}

// hhmm to centi-hours and back (the minutes rounded down), and shown as a time.
TEST(OmregnTilCT, ValuesAndTheirTexts) {
    EXPECT_EQ(Omregn_Til_CT(75), 125);  // minutes past 59 count on
    EXPECT_EQ(Omregn_Til_Tid(83), 50);  // rounded down
    EXPECT_EQ(Omregn_Til_CT(-130), -150);
    EXPECT_EQ(Omregn_Til_CT(2147483628), 2147483647);
    EXPECT_FALSE(Omregn_Til_CT(2147483647).has_value());  // 2147483600 + 78
    EXPECT_FALSE(Omregn_Til_CT(-2147483647).has_value());
    EXPECT_EQ(Omregn_Til_Tid(-2147483647 - 1), -2147483629);
    const std::int32_t values[] = {0, 5, 805, -5, -1234, 12345, 175, -2147483647 - 1};
    const char* texts[] = {"00:00",  "00:05",  "08:05", "-0:05",
                           "-12:34", "123:45", "01:75", "-21474836:48"};
    for (std::size_t i = 0; i < std::size(values); ++i) {
        EXPECT_EQ(Formater_Tid(values[i]), QLatin1String(texts[i])) << values[i];
    }
}

}  // namespace
}  // namespace horalog
