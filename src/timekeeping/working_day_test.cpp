// The departure: proposed, refused or closing the day into the balance.
#include "timekeeping/working_day.h"

#include <gtest/gtest.h>

#include <tuple>

#include "test_helpers.h"
#include "text/number_text.h"
#include "text/time_text.h"
#include "timekeeping/balance.h"

namespace horalog {
namespace {

using namespace Qt::StringLiterals;

const LunchRule kOn{true, 50, 450}, kOff{false, 50, 450};

TEST(ForgottenDepartureDefault, TheLatestMomentOfThatDay) {
    // clang-format off
    const std::pair<QStringList, const char*> cases[] = {
        {{}, ""}, {{"07-12-2026 16:42"}, "16:42"}, {{"06-12-2026 16:42"}, ""},
        {{"07-12-2026 12:10", "07-12-2026 16:42"}, "16:42"},
        {{"07-12-2026 16:42", "07-12-2026 12:10"}, "16:42"},
        {{"07-12-2026 08:00"}, ""}, {{"07-12-2026 9e99"}, ""}, {{"07-12-2026"}, ""}};
    // clang-format on
    for (const auto& [known, proposed] : cases) {
        EXPECT_EQ(forgottenDepartureDefault(StoredArrival(u"07-12-2026 08:00"_s), known),
                  QLatin1String(proposed))
            << known.join(u',').toStdString();
    }
}

// Up to 16 hours after the arrival ({}: no clock time); «date;arrival;departure;time passed (ct)».
TEST(ForgottenDay, OneWorkingDayFromTheArrival) {
    const testing::InCopenhagen zone;
    const auto before = [](const QString& gaa, const QString& komme) {
        return u"Gå-tiden %1 ligger før komme-tiden %2."_s.arg(gaa, komme);
    };
    const QString skip = u"Skriv gå-tiden, eller vælg Annuller for at springe dagen over."_s;
    // clang-format off
    const std::pair<const char*, std::vector<std::pair<const char*, QString>>> cases[] = {
        {"07-12-2026 08:00", {
            {"16:42", u"07-12-2026;08:00;16:42;870"_s}, {"16.42", "07-12-2026;08:00;16:42;870"},
            {" 1642 ", "07-12-2026;08:00;16:42;870"}, {"842", "07-12-2026;08:00;08:42;70"},
            {"00:00", "08-12-2026;08:00;00:00;1600"}, {"00:01", before("00:01", "08:00")},  // 16 h
            {"07:30", before("07:30", "08:00")}, {"08:00", before("08:00", "08:00")},  // 24 hours
            {"25:00", {}}, {"9999", {}}, {"24:00", {}}, {"16:60", {}}, {"abc", {}}, {"9", {}},
            {"16:42:00", {}}, {"", skip}, {" ", skip}}},  // «9»: 00:09 where 9 o'clock was meant
        {"07-12-2026 22:00", {
            {"01:30", "08-12-2026;22:00;01:30;350"}, {"23:59", "07-12-2026;22:00;23:59;198"},
            {"14:00", "08-12-2026;22:00;14:00;1600"}, {"14:01", before("14:01", "22:00")}}},
        {"31-12-2026 22:00", {{"0130", "01-01-2027;22:00;01:30;350"}}},
        {"24-10-2026 22:00", {{"06:00", "25-10-2026;22:00;06:00;900"}}},  // 9 h: autumn's hour
        {"25-10-2026 01:00", {{"07:00", "25-10-2026;01:00;07:00;700"}}},
        {"07-12-åååå 22:00", {  // no date: that day only
            {"23:00", "07-12-åååå;22:00;23:00;100"}, {"01:30", before("01:30", "22:00")}}}};
    // clang-format on
    const QDateTime now(QDate(2026, 12, 8), QTime(9, 0));
    const auto time = [](std::int32_t ct) { return Formater_Tid(Omregn_Til_Tid(ct)); };
    for (const auto& [stored, rows] : cases) {
        for (const auto& [typed, result] : rows) {
            const auto day = forgottenDay(StoredArrival(QString::fromUtf8(stored)),
                                          QLatin1String(typed), u"dd-MM-yyyy"_s, std::nullopt, now);
            EXPECT_EQ(day.ok()
                          ? u"%1;%2;%3;%4"_s.arg(day->date, time(day->kommeCT), time(day->gaaCT))
                                .arg(day->gaaCT - day->kommeCT + day->shift)
                          : day.error(),
                      result.isEmpty() ? u"\"%1\" er ikke et klokkeslæt."_s.arg(typed) : result)
                << stored << " / " << typed;
        }
    }
    // A night's date in the user's pattern; the arrival's offset as the window kept it.
    const auto night =
        forgottenDay(StoredArrival(u"31.12.26 22:00"_s), u"1.30"_s, u"dd.MM.yy"_s, 7200, now);
    ASSERT_TRUE(night.ok());
    EXPECT_EQ(night->date + u' ' + QString::number(night->shift), u"01.01.27 2500"_s);
}

// At the lunch threshold at 12:30, one below it at 12:29 from 799; lunch off a day below zero too.
TEST(WorkedSoFar, RunningDisplay) {
    // clang-format off
    const std::tuple<std::int32_t, const char16_t*, LunchRule, std::optional<std::int32_t>> cases[] = {
        {800, u"16:30", kOn, 800}, {800, u"07:30", kOn, -100}, {800, u"08:00", kOn, 0},
        {800, u"16:30", kOff, 850}, {800, u"", kOff, -800}, {800, u"12:30", kOn, 400},
        {799, u"12:29", kOn, 449}, {800, u"99999999999", kOn, {}},
        {2147483598, u"00:00", kOn, -2147483647 - 1}};  // the least that fits
    // clang-format on
    for (const auto& [komme, gaa, lunch, net] : cases) {
        EXPECT_EQ(workedSoFar(komme, QString::fromUtf16(gaa), 10, lunch), net);
    }
    // The latest departure that reads, from an arrival the day before: beyond 32 bits.
    EXPECT_EQ(workedSoFar(0, u"2147483628", 10, kOff, 2400), std::nullopt);
}

// Figures beyond their columns refused (tid, days 16 bits, sums 32); the surplus half to even.
TEST(CloseDay, Cases) {
    using Row = std::tuple<Figures, std::int32_t, std::int32_t, LunchRule,
                           std::optional<std::int16_t>, Figures>;
    // clang-format off
    const Row cases[] = {
        {{3, 2220, 125}, 800, 1650, kOn, 800, {4, 3020, 185}},  // the worked example
        {{0, 0, 0}, 800, 900, kOn, 50, {1, 50, -690}},          // short day: lunch all the same
        {{0, 0, 0}, 800, 750, kOff, -50, {1, -50, -790}},       // departure before arrival
        {{2, 100, 0}, 0, 740, kOff, 740, {3, 840, 0}},          // 740 - 740.0000095 rounds to 0
        {{0, 0, 0}, 0, 32767, kOff, 32767, {1, 32767, 32027}},  // the column's last
        {{0, 0, 0}, 0, 32768, kOff, {}, {}}, {{32766, 0, 0}, 800, 1650, kOn, 800, {32767, 800, 60}},
        {{32767, 0, 0}, 800, 1650, kOn, {}, {}}, {{0, 2147483000, 0}, 0, 1000, kOff, {}, {}},
        {{0, 0, -2147483000}, 0, 0, kOff, {}, {}}};
    const std::tuple<Figures, float, std::int64_t> surplus[] = {
        {{3, 2250, 0}, 7.4f, 30}, {{3, 2200, 0}, 7.4f, -20}, {{1, 750, 0}, 7.125f, 38},
        {{1, 751, 0}, 7.125f, 38}, {{0, -365, 0}, 7.4f, -365}};
    // clang-format on
    for (const auto& [before, komme, gaa, lunch, tid, after] : cases) {
        const auto day = closeDay(before, komme, gaa, lunch, 7.4f);
        EXPECT_EQ(std::pair(day ? std::optional(day->tid) : std::nullopt,
                            day.value_or(ClosedDay{}).after),
                  std::pair(tid, after))
            << komme << "-" << gaa;
    }
    for (const auto& [figures, hours, expected] : surplus) {
        EXPECT_EQ(periodSurplus(figures, hours), expected) << figures.sum << " / " << hours;
    }
}

// Refused before the arrival on its date or over a day after (9999 reads 100:39); a night is not.
TEST(DepartureRefusal, NoNegativeDayAndNoDayAndAHalf) {
    const std::tuple<std::int32_t, const char*, std::int32_t, const char*> cases[] = {
        {800, "06:00", 0, "Gå-tiden 06:00 ligger før komme-tiden 08:00."},
        {747, "04:28", 0, "Gå-tiden 04:28 ligger før komme-tiden 07:28."},
        {800, "08:00", 0, "800"},
        {2200, "01:30", 2400, "150"},
        {250, "02:10", 100, "217"},
        {800, "32:00", 0, "3200"},
        {800, "32:01", 0, "Gå-tiden 32:01 ligger mere end et døgn efter komme-tiden 08:00."},
        {800, "9999", 0, "Gå-tiden 100:39 ligger mere end et døgn efter komme-tiden 08:00."},
        {800, "9999:00", 0, "Gå-tiden 9999:00 ligger mere end et døgn efter komme-tiden 08:00."},
        {800, "99999999999", 0,
         "Tiden \"99999999999\" kan ikke anvendes, fordi tallet er for stort."}};
    for (const auto& [komme, text, shift, answer] : cases) {
        const QString typed = QString::fromUtf8(text);
        const auto t = readTypedTime(typed, 10);
        EXPECT_EQ(t ? departureRefusal(komme, t->ct, shift).value_or(QString::number(t->ct))
                    : tooLargeRefusal(u"Tiden"_s, typed),
                  QString::fromUtf8(answer));
    }
    EXPECT_EQ(hoursReachedText(7.4f), u"7:24 arbejdet. Husk at registrere gå-tid, når du går."_s);
    EXPECT_EQ(hoursReachedText(10.25f).left(6), u"10:15 "_s);
}

}  // namespace
}  // namespace horalog
