#include "adjust/adjust.h"

#include <gtest/gtest.h>

namespace horalog {
namespace {

TEST(BookTimeOff, RecordFiguresAndStatus) {
    const struct {
        double hours;
        const char16_t* comment;
        QChar separator;
        Figures before, after;
        const char16_t* record;
        const char16_t* status;
    } cases[] = {{7.4,
                  u"afspadsering",
                  u',',
                  {12, 8770, 375},
                  {12, 8030, -365},
                  u"05-12-2026;12;-;-;-740;8030;-365;afspadsering",
                  u"Afspadsering af 740 ct tilføjet"},
                 {0.125,
                  u"x",
                  u',',
                  {0, 100, 101},
                  {0, 88, 88},
                  u"05-12-2026;0;-;-;-12,5;88;88;x",
                  u"Afspadsering af 12,5 ct tilføjet"},
                 {0.125,
                  u"",
                  u'.',
                  {0, 100, 101},
                  {0, 88, 88},
                  u"05-12-2026;0;-;-;-12.5;88;88;",
                  u"Afspadsering af 12.5 ct tilføjet"},
                 {-2,
                  u"",
                  u',',
                  {1, 0, 0},
                  {1, 200, 200},
                  u"05-12-2026;1;-;-;200;200;200;",
                  u"Afspadsering af -200 ct tilføjet"},
                 {7.333,
                  u"a;b\r\nc",
                  u',',
                  {0, 0, 0},
                  {0, -733, -733},
                  u"05-12-2026;0;-;-;-733,3;-733;-733;a;b  c",
                  u"Afspadsering af 733,3 ct tilføjet"}};
    for (const auto& c : cases) {
        const Adjustment a =
            bookTimeOff(c.before, c.hours, QString::fromUtf16(c.comment), QStringLiteral("x"),
                        QStringLiteral("05-12-2026"), c.separator);
        EXPECT_FALSE(a.refusal.has_value());
        EXPECT_EQ(a.after, c.after);
        EXPECT_EQ(a.record, QString::fromUtf16(c.record));
        EXPECT_EQ(a.status, QString::fromUtf16(c.status));
    }
}

TEST(BookTimeOff, Refusals) {
    const Adjustment emoji = bookTimeOff({1, 2, 3}, 1, QStringLiteral("Łódź 😀 ok"),
                                         QStringLiteral("1"), QStringLiteral("d"), u',');
    EXPECT_EQ(emoji.refusal, QStringLiteral("Bemærkningen \"Łódź 😀 ok\" kan ikke gemmes, fordi "
                                            "filen ikke kan rumme tegnene \"Łź😀\"."));
    const Adjustment large = bookTimeOff({0, -2147483000, 0}, 10, QString(), QStringLiteral("10"),
                                         QStringLiteral("d"), u',');
    EXPECT_EQ(large.refusal, QStringLiteral("Afspadseringen \"10\" kan ikke anvendes, fordi "
                                            "saldoen bliver for stor."));
    EXPECT_TRUE(large.record.isEmpty());
}

TEST(ResetPeriod, BalanceCarriesOver) {
    const Adjustment a = resetPeriod({12, 8030, -365}, QStringLiteral("05-12-2026"));
    EXPECT_EQ(a.after, (Figures{0, 0, -365}));
    EXPECT_EQ(a.record, QStringLiteral("05-12-2026;0;-;-;-;0;-365;periode afsluttet/nulstillet"));
    EXPECT_EQ(a.status, QStringLiteral("Flexperiode nulstillet"));
}

}  // namespace
}  // namespace horalog
