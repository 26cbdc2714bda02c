// The arrival: stored, proposed, kept over a lock or a night, counted across daylight saving.
#include "timekeeping/open_day.h"

#include <gtest/gtest.h>

#include <tuple>

#include "test_helpers.h"
#include "text/time_text.h"
#include "timekeeping/away.h"
#include "timekeeping/date_pattern.h"
#include "timekeeping/status_line.h"
#include "timekeeping/today.h"

namespace horalog {
namespace {

using namespace Qt::StringLiterals;

const QString kYmd = u"dd-MM-yyyy"_s;
using testing::dec;
const auto utc = [](QDate d, int h, int m) { return QDateTime(d, {h, m}, Qt::UTC).toLocalTime(); };

// The time always after the blank (once at a fixed position: 06:08); years pivot at 69.
TEST(StoredArrival, ReadByItsBlank) {
    using D = StoredArrival::Day;
    const std::tuple<const char*, QString, D, QDate, const char*> cases[] = {
        {" ", kYmd, D::None, {}, ""},
        {"08-12-2026", kYmd, D::None, dec(8), ""},
        {"08-12-2026 08:15", kYmd, D::Today, dec(8), "08:15"},
        {"07-12-2026 22:00", kYmd, D::Other, dec(7), "22:00"},
        {"08.12.2026 08:00", u"dd.MM.yy"_s, D::Other, {}, "08:00"},
        {"08.12.26 08:00", u"dd.MM.yy"_s, D::Today, dec(8), "08:00"},
        {"081226 8:00", u"ddMMyy"_s, D::Today, dec(8), "8:00"},
        {"08.1.26 8:00", u"dd.M.yy"_s, D::Other, QDate(2026, 1, 8), "8:00"},
        {"01-01-69 07:30", u"dd-MM-yy"_s, D::Other, QDate(1969, 1, 1), "07:30"},
        {"01-01-68 07:30", u"dd-MM-yy"_s, D::Other, QDate(2068, 1, 1), "07:30"},
        {"01-01-1950 8:00", u"DD-MM-ÅÅÅÅ"_s, D::Other, QDate(1950, 1, 1), "8:00"},
        {"08-12-åååå 8:00", u"dd-MM-åååå"_s, D::Other, {}, "8:00"},
        {"08-12-2026 9e99", kYmd, D::Today, dec(8), "9e99"}};
    for (const auto& [stored, pattern, day, date, time] : cases) {
        const StoredArrival s(QString::fromUtf8(stored));
        EXPECT_EQ(std::tuple(s.dayAt(dec(8), pattern), s.date(pattern), s.timeText()),
                  std::tuple(day, date, QString::fromUtf8(time)))
            << stored;
    }
    EXPECT_FALSE(StoredArrival(u"08-12-2026 12345678901"_s).time());
    EXPECT_EQ(StoredArrival::of(dec(5), u"DD.MM.ÅÅ"_s, 825).text(), u"05.12.26 08:15");
    EXPECT_EQ(StoredArrival::of(dec(8), kYmd, 125).text(), u"08-12-2026 01:15");  // not «0:75»
}

TEST(ProposedArrival, FromTheSystemStart) {
    const std::pair<std::int64_t, const char*> cases[] = {
        {36000000 - 3599600, "01:00"},  // started at 00:59:59.6: rounds to 01:00:00
        {36000000 - 3599400, "00:59"},  // 00:59:59.4: rounds down, seconds dropped
        {36000001, "00:00"}};           // running since before midnight
    for (const auto& [uptime, proposal] : cases) {
        EXPECT_EQ(proposedArrival(QTime(10, 0, 0), uptime), QLatin1String(proposal));
    }
    EXPECT_EQ(proposedArrival(QTime(10, 1, 2), 62000), u"10:00");  // seconds count
}

TEST(CheckDatePattern, DayFirstYearLast) {
    const std::tuple<QString, std::int16_t, bool> cases[] = {
        {u"dd-MM-yyyy"_s, 10, true}, {u"dd-MM-yy"_s, 8, true},  {u"dd-MM-åååå"_s, 10, true},
        {u"DD.MM.YYYY"_s, 10, true}, {u"d-M-yyyy"_s, 8, false}, {u"dd-MM-y"_s, 7, false}};
    for (const auto& [pattern, length, ok] : cases) {
        const DatePattern p = checkDatePattern(pattern);
        EXPECT_EQ(std::pair(p.length, p.accepted), std::pair(length, ok)) << pattern.toStdString();
    }
    EXPECT_EQ(checkDatePattern(u"dd-MM-ÅÅÅÅ"_s).shown, u"dd-MM-yyyy");
    EXPECT_EQ(dateTimeText(dec(5), u"DD.MM.ÅÅ"_s, u"8.00"_s), u"05.12.26 8.00");
}

// Known here (restored first), in another copy's store, what following it does, Komme_CT or -1.
TEST(OpenDay, FollowsTheStoreAndKnowsItsDate) {
    using F = OpenDay::Followed;
    const QDateTime now(dec(8), QTime(10, 0));
    const std::tuple<const char*, const char*, F, std::int32_t> cases[] = {
        {" ", " ", F::Nothing, -1},
        {" ", "", F::Nothing, -1},
        {" ", "08-12-2026 08:15", F::ArrivalTakenOver, 825},
        {"08-12-2026 08:00", "08-12-2026 08:00", F::Nothing, 800},
        {"08-12-2026 08:00", "08-12-2026 07:30", F::ArrivalTakenOver, 750},
        {"08-12-2026 08:00", " ", F::DayClosed, 800},
        {" ", "07-12-2026 08:15", F::Nothing, -1},
        {" ", "08-12-2026 9e99", F::Nothing, -1}};
    for (const auto& [known, inStore, followed, kommeCT] : cases) {
        OpenDay day;
        day.storedAs(StoredArrival(QString::fromUtf8(known)));
        day.restore(StoredArrival(QString::fromUtf8(known)), now, kYmd);
        const F f = day.follow(StoredArrival(QString::fromUtf8(inStore)), now, kYmd);
        EXPECT_EQ(std::tuple(f, day.isOpen() ? day.kommeCT() : -1, day.stored().text()),
                  std::tuple(followed, kommeCT, QString::fromUtf8(inStore)));
    }
    OpenDay night;  // "Ja" at 00:01 to last night's: today, not tomorrow; one taken over: its own
    const QDateTime afterMidnight(dec(8), QTime(0, 1));
    ASSERT_TRUE(night.restore(StoredArrival(u"07-12-2026 22:00"_s), afterMidnight, kYmd));
    EXPECT_EQ(night.arrival().date, dec(7));
    EXPECT_TRUE(night.onItsDate(dec(7)) && night.onItsDate(dec(8)) && !night.onItsDate(dec(9)));
    night.follow(StoredArrival(u"08-12-2026 00:30"_s), afterMidnight, kYmd);
    EXPECT_FALSE(night.onItsDate(dec(7)) || night.onItsDate(dec(9)));
    // A date the pattern cannot read counts as today's; no clock time opens no day.
    ASSERT_TRUE(night.restore(StoredArrival(u"xx 08:00"_s), now, kYmd));
    EXPECT_EQ(night.arrival().date, now.date());
    EXPECT_FALSE(night.restore(StoredArrival(u"08-12-2026 9e99"_s), now, kYmd) || night.isOpen());
    // The question names the store's arrival, or the open day's own when the store lost it.
    EXPECT_EQ(night.named(StoredArrival(u" "_s), kYmd).text(), u"08-12-2026 08:00");
}

// Date; events «L16:42» locked, «U» unlocked, «S» asleep, «W» woken, «+» next day; kept|notices.
TEST(Away, WhenTheUserWasLastSeen) {
    const std::tuple<QDate, const char*, const char*> cases[] = {
        {dec(7), "L12:00 U12:30", "|"},  // the lunch itself: no notice
        {dec(7), "L12:00 U12:31", "|Du var væk 12:00–12:31 (0:31)."},
        {dec(7), "L16:42 S23:59 W+08:30 U+08:31", "16:42|"},
        {dec(7), "S23:59 W+08:30", "23:59|"},
        {dec(7), "S12:00 W13:00", "|Du var væk 12:00–13:00 (1:00)."},
        {dec(7), "L16:42 U16:50 L17:10", "17:10|"},
        {dec(7), "L16:42 L16:50 S17:00", "16:42|"},  // the lock told twice
        {dec(7), "U09:00 W09:01", "|"},
        {dec(7), "L11:30 W12:00 U13:05", "|Du var væk 11:30–13:05 (1:35)."},
        {dec(7), "L16:42 U+08:31 L+12:00", "12:00|"},
        {QDate(2026, 3, 29), "L01:30 U03:30", "|Du var væk 01:30–03:30 (1:00)."},  // real time
        {QDate(2026, 10, 25), "L01:30 U03:00", "|Du var væk 01:30–03:00 (2:30)."},
    };
    const testing::InCopenhagen zone;
    for (const auto& [day, events, expected] : cases) {
        Away away;
        QString notices;
        for (const QString& e : QString::fromUtf8(events).split(u' ')) {
            const QDateTime at(day.addDays(e[1] == u'+'), QTime::fromString(e.right(5), u"HH:mm"));
            if (const auto end = away.on(DesktopEvent(QStringView(u"LUSW").indexOf(e[0])), at)) {
                notices += awayNotice(*end, 50).value_or(QString());
            }
        }
        const QString seen = away.lastSeen() ? away.lastSeen()->toString(u"HH:mm") : QString();
        EXPECT_EQ(seen + u'|' + notices, QString::fromUtf8(expected)) << events;
    }
}

// The arrival's offset when it was registered or restored counts, not the one at a later count.
TEST(DaylightSaving, OffsetsAndShifts) {
    const testing::InCopenhagen zone;
    const QDate autumn(2026, 10, 25), spring(2026, 3, 29);
    // Registered (restored: its offset read then) at 02:30, counted at a later moment.
    const std::tuple<QDateTime, QDateTime, std::int32_t, std::int32_t> cases[] = {
        {utc(autumn, 0, 30), utc(autumn, 2, 10), 317, 167},  // 02:30 CEST to 03:10 CET
        {utc(autumn, 1, 30), utc(autumn, 1, 40), 267, 17},   // 02:30 CET to 02:40 CET
        {utc(autumn, 2, 10), utc(autumn, 2, 10), 317, 167}};
    for (const auto& [registered, later, departure, worked] : cases) {
        OpenDay day;
        day.restore(StoredArrival(u"25-10-2026 02:30"_s), registered, kYmd);
        EXPECT_EQ(departure - day.kommeCT() + day.shiftUntil(departure, later), worked)
            << later.toString().toStdString();
    }
    OpenDay day;
    day.desktop(DesktopEvent::Locked, utc(autumn, 15, 42));
    ASSERT_TRUE(day.lastSeen());
    day.open(800, autumn.addDays(1), utc(autumn, 15, 42).addDays(1));
    EXPECT_FALSE(day.lastSeen());
    // The clock's own minute is the clock's; in the skipped hour the moment after (once UTC).
    const std::tuple<QDate, std::int32_t, QDateTime, std::int32_t> offsets[] = {
        {autumn, 250, utc(autumn, 1, 30), 3600},  // the clock's own minute, second pass
        {autumn, 250, utc(autumn, 0, 20), 7200},  // both ahead: the earlier
        {autumn, 350, utc(autumn, 6, 0), 3600},
        {spring, 250, utc(spring, 2, 0), 3600},  // 02:30 does not exist: 03:30 CEST
        {spring, 350, utc(spring, 2, 0), 7200},
        {autumn.addDays(-1), 800, utc(autumn, 8, 0), 7200},
        {autumn, 2500, utc(autumn, 6, 0), 3600}};  // 25:00 typed: no time of day, the clock's own
    for (const auto& [date, ct, now, offset] : offsets) {
        EXPECT_EQ(utcOffsetAt(date, ct, now), offset) << ct << " " << now.toString().toStdString();
    }
    const int winter = 3600, summer = 7200;  // the shifts a clock reading misses, worked by hand
    const std::tuple<Moment, Moment, std::int32_t> shifts[] = {
        {{dec(7), 800, winter}, {dec(8), 800, winter}, 0},    // the same time: no night
        {{dec(8), 800, winter}, {dec(8), 750, winter}, 0},    // typed earlier: a negative day
        {{spring, 50, winter}, {spring, 750, summer}, -100},  // 00:30-07:30 is 6 hours
        {{autumn, 50, summer}, {autumn, 750, winter}, 100},   // and 8 hours
        {{spring.addDays(-1), 800, winter}, {spring, 900, summer}, 0},  // yesterday's: time alone
        {{autumn.addDays(-1), 2200, summer}, {autumn, 600, winter}, 2500},  // a night: 9 hours
        {{QDate(), 2200, winter}, {dec(8), 150, winter}, 0}};               // no known date
    for (const auto& [arrival, departure, shift] : shifts) {
        EXPECT_EQ(clockShift(arrival, departure), shift)
            << arrival.date.toString().toStdString() << " " << arrival.ct;
    }
}

// --status counts as the window after "Ja": a night by the time passed, else by time of day.
TEST(OpenDayStatus, CountsAsTheWindowAfterJa) {
    const char* twoHours = "Mødt 07-12-2026 08:00 · idag 2:00 (200 ct) · fri kl. 15:54";
    const char* cases[][3] = {
        {"08 10:00", "07-12-2026 08:00", twoHours},
        {"10 10:00", "07-12-2026 08:00", twoHours},
        {"08 07:00", "07-12-2026 08:00",
         "Mødt 07-12-2026 08:00 · idag 22:30 (2250 ct) · fri siden 15:54"},
        {"08 01:30", "07-12-2026 22:00",
         "Mødt 07-12-2026 22:00 · idag 3:30 (350 ct) · fri kl. 05:54"},
        {"08 10:00", "08-12-2026 08:00", "Mødt 08:00 · idag 2:00 (200 ct) · fri kl. 15:54"},
        {"08 10:00", " ", "Ikke mødt"},
        {"08 10:00", "08-12-2026 9e99", "Ikke mødt"},
    };
    for (const auto& [when, moedt, expected] : cases) {
        const auto now = QDateTime::fromString(u"2026-12-"_s + when, u"yyyy-MM-dd HH:mm");
        const auto day = openDayStatus(QLatin1String(moedt), now, kYmd, 7.4f, {true, 50, 450});
        EXPECT_EQ(statusLine(day, {3, 2220, 125}, 7.4f)
                      .remove(u" · periode 2220 ct (0 ct) · flex 125 ct"_s),
                  QString::fromUtf8(expected))
            << moedt << " " << when;
    }
}

// A record appended since the arrival, the arrival stored: closes it?
TEST(RecordClosesArrival, DateAndTime) {
    const char *day = "05-12-2026;4;08:00;16:30;800;3020;185;",
               *night = "08-12-2026;1;22:00;01:30;300;300;-440;";
    // clang-format off
    const std::tuple<const char*, const char*, bool, QString> cases[] = {
        {night, "07-12-2026 22:00", true, kYmd}, {night, "06-12-2026 22:00", false, kYmd},
        {"08-12-2026;1;22:00;22:00;2350;2350;1610;", "07-12-2026 22:00", true, kYmd},  // 24 h
        {"08-12-2026;1;22:00;23:30;100;100;-640;", "07-12-2026 22:00", false, kYmd},  // evening
        {"01-01-2027;1;23:00;07:00;750;750;10;", "31-12-2026 23:00", true, kYmd},
        {"08.12.26;1;22:00;01:30;300;300;-440;", "07.12.26 22:00", true, u"dd.MM.yy"_s},
        {"08-12-åååå;1;22:00;01:30;300;300;-440;", "07-12-åååå 22:00", false, u"dd-MM-åååå"_s},
        {"08-12-2026;1;22:00;-;-;300;-440;", "07-12-2026 22:00", false, kYmd},
        {day, "05-12-2026 08:00", true, kYmd}, {day, " ", false, kYmd},
        {day, "05-12-2026 08:15", false, kYmd}, {day, "06-12-2026 08:00", false, kYmd},
        {"05-12-2026;4;08:00;-;-;3020;185;", "05-12-2026 08:00", false, kYmd}};
    // clang-format on
    for (const auto& [line, stored, closes, dates] : cases) {
        EXPECT_EQ(recordClosesArrival(QString(line), StoredArrival(QString(stored)), dates), closes)
            << line << " / " << stored;
    }
}

// Time that really passed counts; an earlier date's arrival that is no night, its time of day.
TEST(HoursReachedAt, TheFirstMinuteThatCounts) {
    const testing::InCopenhagen zone;
    // The arrival's date and hhmm, the daily hours, the lunch (0: off), now, when (empty: none).
    const std::tuple<QDate, std::int32_t, float, std::int16_t, const char*, const char*> cases[] = {
        {dec(8), 732, 7.4f, 50, "2026-12-08 08:00", "2026-12-08 15:26"},
        {dec(8), 732, 7.4f, 0, "2026-12-08 08:00", "2026-12-08 14:56"},
        {dec(8), 805, 7.5f, 30, "2026-12-08 08:00", "2026-12-08 15:53"},
        {QDate(2026, 10, 25), 100, 7.4f, 50, "2026-10-25 02:00", "2026-10-25 07:54"},  // repeated
        {QDate(2026, 3, 29), 100, 7.4f, 50, "2026-03-29 01:00", "2026-03-29 09:54"},   // skipped
        {dec(8), 732, 0.0f, 0, "2026-12-08 08:00", "2026-12-08 07:32"},
        {dec(7), 2200, 7.4f, 50, "2026-12-08 23:00", ""},
        {QDate(2026, 10, 24), 100, 7.4f, 50, "2026-10-25 06:00", "2026-10-25 08:54"},  // clock
        {dec(8), 2500, 7.4f, 50, "2026-12-08 08:00", ""},  // no clock time
        {QDate(), 800, 7.4f, 50, "2026-12-08 08:00", ""}};
    for (const auto& [date, hhmm, hours, lunch, when, reached] : cases) {
        const QDateTime arrival(date, QTime(hhmm / 100, hhmm % 100));
        const QDateTime now = QDateTime::fromString(QLatin1String(when), u"yyyy-MM-dd HH:mm");
        const auto at = hoursReachedAt({date, *Omregn_Til_CT(hhmm), arrival.offsetFromUtc()}, now,
                                       hours, {lunch != 0, lunch, 450});
        EXPECT_EQ(at ? at->toString(u"yyyy-MM-dd HH:mm") : u""_s, QLatin1String(reached)) << when;
    }
}

}  // namespace
}  // namespace horalog
