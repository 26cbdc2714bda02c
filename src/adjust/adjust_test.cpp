#include "adjust/adjust.h"

#include <gtest/gtest.h>

#include <tuple>

namespace horalog {
namespace {

// Figures after and record, or a refusal with nothing to write; the status names the hours.
TEST(BookTimeOff, RecordFiguresOrRefusal) {
    const std::tuple<Figures, double, const char16_t*, const char16_t*, const char16_t*> cases[] = {
        // clang-format off
        {{0, 100, 101}, 0.125, u"x", u"", u"0 88 88 d;0;-;-;-12,5;88;88;x"},
        {{1, 0, 0}, -2, u"", u"", u"1 200 200 d;1;-;-;200;200;200;"},
        {{0, 0, 0}, 7.333, u"a;b\r\nc", u"", u"0 -733 -733 d;0;-;-;-733,3;-733;-733;a,b  c"},
        {{12, 8770, 375}, 7.4, u"afspadsering", u"7,4",
         u"12 8030 -365 d;12;-;-;-740;8030;-365;afspadsering"},
        {{1, 2, 3}, 1, u"Łódź 😀 ok", u"", u"Bemærkningen \"Łódź 😀 ok\" kan ikke gemmes, fordi "
         u"filen ikke kan rumme tegnene \"Łź😀\"."},
        {{0, -2147483000, 0}, 10, u"", u"10",
         u"Afspadseringen \"10\" kan ikke anvendes, fordi saldoen bliver for stor."}};
    // clang-format on
    for (const auto& [before, hours, comment, answer, outcome] : cases) {
        const auto a = bookTimeOff(before, hours, QString::fromUtf16(comment),
                                   QString::fromUtf16(answer), QStringLiteral("d"), u',');
        const Figures f = a.ok() ? a->after : Figures{};
        const QString figures = QStringLiteral("%1 %2 %3 ").arg(f.dage).arg(f.sum).arg(f.total);
        EXPECT_EQ(a.ok() ? figures + a->record : a.error(), QString::fromUtf16(outcome));
    }
    EXPECT_EQ(bookTimeOff({}, 7.4, {}, {}, {}, u',')->status, u"Afspadsering af 740 ct tilføjet");
}

}  // namespace
}  // namespace horalog
