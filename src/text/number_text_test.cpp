#include "text/number_text.h"

#include <gtest/gtest.h>

#include <cmath>

namespace horalog {
namespace {

// Blanks anywhere, "." as the only point, E or D exponents, &H and &O, and the first other
// character ends the number; nothing for what a double cannot hold (NaN in the table).
TEST(ReadNumber, Texts) {
    const char16_t* texts[] = {u"",           u"abc",         u"7.4",         u"7,4",
                               u"7:30",       u" 1 2 . 5 ",   u"\t-3\n5",     u"+8",
                               u".5",         u"5.",          u"-.25x",       u"8e2",
                               u"8D2",        u"1.5E-1",      u"2e",          u"2e+",
                               u"&H10",       u"&hff",        u"&HFFFF",      u"&H10000",
                               u"&HFFFFFFFF", u"&O17",        u"&X1",         u"--5",
                               u"7.4 timer",  u"1e-400",      u"0e999",       u"5\u00e6",
                               u"12\r3",      u"99999999999", u"&H100000000", u"&O40000000000",
                               u"1e400",      u"-1e309"};
    const double none = std::nan("");
    const double values[] = {0,     0,    7.4,  7,    7,   12.5, -35, 8,   0.5, 5,
                             -0.25, 800,  800,  0.15, 2,   2,    16,  255, -1,  65536,
                             -1,    15,   0,    0,    7.4, 0,    0,   5,   12,  99999999999.0,
                             none,  none, none, none};
    static_assert(std::size(texts) == std::size(values));
    for (std::size_t i = 0; i < std::size(texts); ++i) {
        const QString text = QString::fromUtf16(texts[i]);
        const auto v = readNumber(text);
        EXPECT_EQ(v.has_value(), !std::isnan(values[i])) << text.toStdString();
        EXPECT_DOUBLE_EQ(v.value_or(0), std::isnan(values[i]) ? 0 : values[i])
            << text.toStdString();
    }
}

// Half to even, and boundary pairs one inside and one outside.
TEST(ReadNumber, WholeNumbers) {
    const char* texts[] = {"12.5",        "13.5",       "-12.5",      "30.6",       "1,5",
                           "-2147483648", "2147483647", "2147483648", "-2147483649"};
    const std::optional<std::int32_t> values[] = {12,         14, -12, 31, 1, -2147483647 - 1,
                                                  2147483647, {}, {}};
    for (std::size_t i = 0; i < std::size(texts); ++i) {
        EXPECT_EQ(readInt32(QString::fromLatin1(texts[i])), values[i]) << texts[i];
    }
    EXPECT_EQ(readInt16(u"-32768.4"), -32768);
    EXPECT_FALSE(readInt16(u"32768").has_value());
}

TEST(NumberText, PlainAndLocale) {
    const float values[] = {7.4f, 0.5f, -0.5f, -740.0f, 1234567.0f, 0.0f, 12345678.0f};
    const char* texts[] = {"7.4|7,4|7.4",
                           ".5|0,5|0.5",
                           "-.5|-0,5|-0.5",
                           "-740|-740|-740",
                           "1234567|1234567|1234567",
                           "0|0|0",
                           "1.234568E+07|1,234568E+07|1.234568E+07"};
    for (std::size_t i = 0; i < std::size(values); ++i) {
        EXPECT_EQ(plainNumberText(values[i]) + u'|' + localeNumberText(values[i], u',') + u'|' +
                      localeNumberText(values[i], u'.'),
                  QLatin1String(texts[i]));
    }
}

// The daily hours ignore a negative answer, time off takes it; both ignore 0 and refuse what the
// balances cannot hold, naming the answer as read.
TEST(ReadHoursAnswer, NothingRefusedOrHours) {
    const struct {
        const char* answer;
        bool ignoreBelowZero;
        const char* outcome;
    } cases[] = {
        {"", false, "nothing"},
        {"0", false, "nothing"},
        {"-2", false, "-2 from -2"},
        {"-2", true, "nothing"},
        {"21474836,47", false, "21474836.47 from 21474836.47"},  // 100 times fits in 32 bits
        {"21474836,48", false,
         "Tiden \"21474836.48\" kan ikke anvendes, fordi tallet er for stort."},
        {"1e300", false, "Tiden \"1e300\" kan ikke anvendes, fordi tallet er for stort."}};
    for (const auto& c : cases) {
        const auto a =
            readHoursAnswer(QLatin1String(c.answer), QStringLiteral("Tiden"), c.ignoreBelowZero);
        const QString outcome =
            !a.ok() ? a.error()
            : !*a   ? QStringLiteral("nothing")
                    : QString::number((*a)->hours, 'g', 10) + QStringLiteral(" from ") + (*a)->text;
        EXPECT_EQ(outcome, QString::fromUtf8(c.outcome)) << c.answer;
    }
}

}  // namespace
}  // namespace horalog
