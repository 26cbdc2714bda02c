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
        const auto a = bookTimeOff(c.before, c.hours, QString::fromUtf16(c.comment), QString(),
                                   QStringLiteral("d"), c.separator);
        ASSERT_TRUE(a.ok()) << a.error().toStdString();
        EXPECT_EQ(a->after, c.after);
        EXPECT_EQ(a->record, QString::fromUtf16(c.record));
    }
    // Refused with nothing to write: a comment the file cannot hold, a balance that would not fit.
    const auto emoji =
        bookTimeOff({1, 2, 3}, 1, QStringLiteral("Łódź 😀 ok"), QString(), QString(), u',');
    ASSERT_FALSE(emoji.ok());
    EXPECT_EQ(emoji.error(), QStringLiteral("Bemærkningen \"Łódź 😀 ok\" kan ikke gemmes, fordi "
                                            "filen ikke kan rumme tegnene \"Łź😀\"."));
    const auto large =
        bookTimeOff({0, -2147483000, 0}, 10, QString(), QStringLiteral("10"), QString(), u',');
    ASSERT_FALSE(large.ok());
    EXPECT_EQ(large.error(), QStringLiteral("Afspadseringen \"10\" kan ikke anvendes, fordi "
                                            "saldoen bliver for stor."));
}

}  // namespace
}  // namespace horalog
