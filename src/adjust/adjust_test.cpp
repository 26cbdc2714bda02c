#include "adjust/adjust.h"

#include <gtest/gtest.h>

namespace horalog {
namespace {

// The figures after and the record; or the refusal, with nothing to write: a comment the file
// cannot hold, a balance that would not fit.
TEST(BookTimeOff, RecordFiguresOrRefusal) {
    const struct {
        Figures before;
        double hours;
        const char16_t *comment, *answer, *outcome;
    } cases[] = {
        // clang-format off
        {{0, 100, 101}, 0.125, u"x", u"", u"0 88 88 d;0;-;-;-12,5;88;88;x"},
        {{1, 0, 0}, -2, u"", u"", u"1 200 200 d;1;-;-;200;200;200;"},
        {{0, 0, 0}, 7.333, u"a;b\r\nc", u"", u"0 -733 -733 d;0;-;-;-733,3;-733;-733;a,b  c"},
        {{1, 2, 3}, 1, u"Łódź 😀 ok", u"", u"Bemærkningen \"Łódź 😀 ok\" kan ikke gemmes, fordi "
         u"filen ikke kan rumme tegnene \"Łź😀\"."},
        {{0, -2147483000, 0}, 10, u"", u"10",
         u"Afspadseringen \"10\" kan ikke anvendes, fordi saldoen bliver for stor."}};
    // clang-format on
    for (const auto& c : cases) {
        const auto a = bookTimeOff(c.before, c.hours, QString::fromUtf16(c.comment),
                                   QString::fromUtf16(c.answer), QStringLiteral("d"), u',');
        const Figures f = a.ok() ? a->after : Figures{};
        const QString figures = QStringLiteral("%1 %2 %3 ").arg(f.dage).arg(f.sum).arg(f.total);
        EXPECT_EQ(a.ok() ? figures + a->record : a.error(), QString::fromUtf16(c.outcome));
    }
}

// The status line names the hours booked; the comment given ends the record.
TEST(BookTimeOff, StatusLine) {
    const auto a = bookTimeOff({12, 8770, 375}, 7.4, QStringLiteral("afspadsering"),
                               QStringLiteral("7,4"), QStringLiteral("05-12-2026"), u',');
    EXPECT_EQ(a->status + u'|' + a->record, QStringLiteral("Afspadsering af 740 ct tilføjet|"
                                                           "05-12-2026;12;-;-;-740;8030;-365;"
                                                           "afspadsering"));
}

}  // namespace
}  // namespace horalog
