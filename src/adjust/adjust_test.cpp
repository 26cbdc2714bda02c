#include "adjust/adjust.h"

#include <gtest/gtest.h>

namespace horalog {
namespace {

TEST(BookTimeOff, RecordFiguresOrRefusal) {
    const struct {
        double hours;
        const char16_t* comment;
        QChar separator;
        Figures before, after;
        const char16_t* record;
    } cases[] = {
        {0.125, u"x", u',', {0, 100, 101}, {0, 88, 88}, u"d;0;-;-;-12,5;88;88;x"},
        {-2, u"", u',', {1, 0, 0}, {1, 200, 200}, u"d;1;-;-;200;200;200;"},
        {7.333, u"a;b\r\nc", u',', {0, 0, 0}, {0, -733, -733}, u"d;0;-;-;-733,3;-733;-733;a,b  c"}};
    for (const auto& c : cases) {
        const Adjustment a = bookTimeOff(c.before, c.hours, QString::fromUtf16(c.comment),
                                         QString(), QStringLiteral("d"), c.separator);
        EXPECT_FALSE(a.refusal.has_value());
        EXPECT_EQ(a.after, c.after);
        EXPECT_EQ(a.record, QString::fromUtf16(c.record));
    }
    // Refused with nothing to write: a comment the file cannot hold, a balance that would not fit.
    const Adjustment emoji =
        bookTimeOff({1, 2, 3}, 1, QStringLiteral("Łódź 😀 ok"), QString(), QString(), u',');
    EXPECT_EQ(emoji.refusal, QStringLiteral("Bemærkningen \"Łódź 😀 ok\" kan ikke gemmes, fordi "
                                            "filen ikke kan rumme tegnene \"Łź😀\"."));
    const Adjustment large =
        bookTimeOff({0, -2147483000, 0}, 10, QString(), QStringLiteral("10"), QString(), u',');
    EXPECT_TRUE(large.refusal->startsWith(QStringLiteral("Afspadseringen \"10\"")));
    EXPECT_TRUE(large.record.isEmpty() && emoji.record.isEmpty());
}

}  // namespace
}  // namespace horalog
