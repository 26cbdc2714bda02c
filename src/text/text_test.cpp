// Numbers and times as users type them and as the window shows them.
#include "text/number_text.h"
#include "text/time_text.h"

#include <gtest/gtest.h>

#include <cmath>

namespace horalog {
namespace {

using namespace Qt::StringLiterals;

// Blanks anywhere, "." the point, E or D exponents, &H, &O; whole numbers half to even.
TEST(ReadNumber, TextsAndWholeNumbers) {
    // clang-format off
    const std::pair<const char16_t*, std::optional<double>> cases[] = {
        {u"", 0},            {u"abc", 0},         {u"7.4", 7.4},        {u"7,4", 7},
        {u"7:30", 7},        {u" 1 2 . 5 ", 12.5}, {u"\t-3\n5", -35},     {u"+8", 8},
        {u".5", 0.5},        {u"5.", 5},          {u"-.25x", -0.25},    {u"8e2", 800},
        {u"8D2", 800},       {u"1.5E-1", 0.15},   {u"2e", 2},           {u"2e+", 2},
        {u"&H10", 16},       {u"&hff", 255},      {u"&HFFFF", -1},      {u"&H10000", 65536},
        {u"&HFFFFFFFF", -1}, {u"&O17", 15},       {u"&X1", 0},          {u"--5", 0},
        {u"7.4 timer", 7.4}, {u"1e-400", 0},      {u"0e999", 0},        {u"5\u00e6", 5},
        {u"12\r3", 12},      {u"&H100000000", {}}, {u"&O40000000000", {}}, {u"1e400", {}},
        {u"-1e309", {}},     {u"99999999999", 99999999999.0}};
    const std::pair<const char*, std::optional<std::int32_t>> whole[] = {
        {"12.5", 12}, {"13.5", 14}, {"-12.5", -12}, {"30.6", 31}, {"1,5", 1},
        {"-2147483648", INT32_MIN}, {"2147483647", INT32_MAX}, {"2147483648", {}},
        {"-2147483649", {}}};
    // clang-format on
    for (const auto& [typed, value] : cases) {
        const QString text = QString::fromUtf16(typed);
        EXPECT_DOUBLE_EQ(readNumber(text).value_or(HUGE_VAL), value.value_or(HUGE_VAL))
            << text.toStdString();
    }
    for (const auto& [text, value] : whole) {
        EXPECT_EQ(readInt32(QString::fromLatin1(text)), value) << text;
    }
    EXPECT_EQ(readInt16(u"-32768.4"), -32768);
    EXPECT_FALSE(readInt16(u"32768").has_value());
}

TEST(NumberText, PlainAndLocale) {
    // clang-format off
    const std::pair<float, const char*> cases[] = {
        {7.4f, "7.4|7,4|7.4"}, {0.5f, ".5|0,5|0.5"}, {-0.5f, "-.5|-0,5|-0.5"},
        {-740.0f, "-740|-740|-740"}, {1234567.0f, "1234567|1234567|1234567"}, {0.0f, "0|0|0"},
        {12345678.0f, "1.234568E+07|1,234568E+07|1.234568E+07"}};
    // clang-format on
    for (const auto& [value, texts] : cases) {
        EXPECT_EQ(plainNumberText(value) + u'|' + localeNumberText(value, u',') + u'|' +
                      localeNumberText(value, u'.'),
                  QLatin1String(texts));
    }
}

// The daily hours ignore a negative answer, time off takes it; 0 is nothing; too big refused.
TEST(ReadHoursAnswer, NothingRefusedOrHours) {
    const std::tuple<const char*, bool, const char*> cases[] = {
        {"", false, "nothing"},
        {"0", false, "nothing"},
        {"-2", false, "-2 from -2"},
        {"-2", true, "nothing"},
        {"21474836,47", false, "21474836.47 from 21474836.47"},  // 100 times fits in 32 bits
        {"21474836,48", false,
         "Tiden \"21474836.48\" kan ikke anvendes, fordi tallet er for stort."},
        {"1e300", false, "Tiden \"1e300\" kan ikke anvendes, fordi tallet er for stort."}};
    for (const auto& [answer, ignoreBelowZero, outcome] : cases) {
        const auto a = readHoursAnswer(QLatin1String(answer), u"Tiden"_s, ignoreBelowZero);
        EXPECT_EQ(!a.ok() ? a.error()
                  : !*a   ? u"nothing"_s
                          : QString::number((*a)->hours, 'g', 10) + u" from "_s + (*a)->text,
                  QString::fromUtf8(outcome))
            << answer;
    }
}

// Separators skipped; beyond 32 bits refused; a date-time's time starts at the date's length + 2.
TEST(TimeText, ReadConvertedAndShown) {
    // clang-format off
    const std::tuple<const char16_t*, int, std::optional<std::int32_t>> cases[] = {
        {u"08:00", 10, 800}, {u"8:05", 10, 805}, {u"08-05", 10, 805}, {u"8", 10, 8}, {u"", 10, 0},
        {u"12,30", 10, 12}, {u"-1:30", 10, 130}, {u"8.5", 10, 85}, {u"9e99", 10, {}},
        {u"2147483647", 10, 2147483647}, {u"&HFFFF", 10, {}},
        {u"05-12-2026 08:00", 10, 800}, {u"05.12.2026 08.00", 10, 800},  // Danish separators
        {u"05-12-2026 08:00", 8, 608},  // «6 08:» with a short date
        {u"08:00123", 3, 800123}, {u"08:001234", 3, 1234}};
    // clang-format on
    for (const auto& [text, datoLaengde, hhmm] : cases) {
        EXPECT_EQ(Tekst_Til_Tid(QString::fromUtf16(text), datoLaengde), hhmm)
            << QString::fromUtf16(text).toStdString();
    }
    EXPECT_EQ(Tid_Nu(u"8:05:30"_s) + Tid_Nu(u"14.30.00"_s), u"08:0514.30");  // the hour padded
    // hhmm to centi-hours (minutes past 59 count on) and back (rounded down), and shown.
    EXPECT_EQ((std::vector{Omregn_Til_CT(75), Omregn_Til_CT(-130), Omregn_Til_CT(2147483628),
                           Omregn_Til_CT(2147483647), Omregn_Til_CT(-2147483647)}),
              (std::vector<std::optional<std::int32_t>>{125, -150, 2147483647, {}, {}}));
    EXPECT_EQ(std::pair(Omregn_Til_Tid(83), Omregn_Til_Tid(INT32_MIN)), std::pair(50, -2147483629));
    const std::pair<std::int32_t, const char*> shown[] = {
        {0, "00:00"},      {5, "00:05"},      {805, "08:05"}, {-5, "-0:05"},
        {-1234, "-12:34"}, {12345, "123:45"}, {175, "01:75"}, {-2147483647 - 1, "-21474836:48"}};
    for (const auto& [value, text] : shown) {
        EXPECT_EQ(Formater_Tid(value), QLatin1String(text)) << value;
    }
}

}  // namespace
}  // namespace horalog
