#include "timekeeping/open_day.h"

#include <gtest/gtest.h>

#include "in_copenhagen.h"
#include "text/time_text.h"
#include "timekeeping/status_line.h"

namespace horalog {
namespace {

// The stored text as each pattern reads it: the time always after the blank, a date the pattern
// cannot read asked about (it once was read as today's at the wrong position: 06:08); two-digit
// years pivot at 69. A short pattern's arrival holds one too (under 14 characters it was once
// dropped without a word).
TEST(StoredArrival, ReadByItsBlank) {
    using D = StoredArrival::Day;
    const QDate today(2026, 12, 8);
    const struct {
        const char16_t* stored;
        const char16_t* pattern;
        D day;
        QDate date;
        const char16_t* time;
    } cases[] = {{u" ", u"dd-MM-yyyy", D::None, {}, u""},
                 {u"08-12-2026", u"dd-MM-yyyy", D::None, today, u""},
                 {u"08-12-2026 08:15", u"dd-MM-yyyy", D::Today, today, u"08:15"},
                 {u"07-12-2026 22:00", u"dd-MM-yyyy", D::Other, QDate(2026, 12, 7), u"22:00"},
                 {u"08.12.2026 08:00", u"dd.MM.yy", D::Other, {}, u"08:00"},
                 {u"08.12.26 08:00", u"dd.MM.yy", D::Today, today, u"08:00"},
                 {u"081226 8:00", u"ddMMyy", D::Today, today, u"8:00"},
                 {u"08.1.26 8:00", u"dd.M.yy", D::Other, QDate(2026, 1, 8), u"8:00"},
                 {u"01-01-69 07:30", u"dd-MM-yy", D::Other, QDate(1969, 1, 1), u"07:30"},
                 {u"01-01-68 07:30", u"dd-MM-yy", D::Other, QDate(2068, 1, 1), u"07:30"},
                 {u"01-01-1950 8:00", u"DD-MM-ÅÅÅÅ", D::Other, QDate(1950, 1, 1), u"8:00"},
                 {u"08-12-åååå 8:00", u"dd-MM-åååå", D::Other, {}, u"8:00"},
                 {u"08-12-2026 9e99", u"dd-MM-yyyy", D::Today, today, u"9e99"}};
    for (const auto& c : cases) {
        const StoredArrival s(QString::fromUtf16(c.stored));
        const QString pattern = QString::fromUtf16(c.pattern);
        EXPECT_EQ(s.dayAt(today, pattern), c.day) << s.text().toStdString();
        EXPECT_EQ(s.date(pattern), c.date) << s.text().toStdString();
        EXPECT_EQ(s.timeText(), QString::fromUtf16(c.time));
    }
    EXPECT_EQ(StoredArrival(QStringLiteral("08.1.26 8:00")).time()->ct, 800);
    EXPECT_FALSE(StoredArrival(QStringLiteral("08-12-2026 12345678901")).time());
    // Written as registering writes it: the clock's form of the time, «0:75» as «01:15».
    EXPECT_EQ(StoredArrival::of(QDate(2026, 12, 5), QStringLiteral("DD.MM.ÅÅ"), 825).text(),
              QStringLiteral("05.12.26 08:15"));
    EXPECT_EQ(StoredArrival::of(today, QStringLiteral("dd-MM-yyyy"), 125).text(),
              QStringLiteral("08-12-2026 01:15"));
}

// What another copy's store means here, and the date the question confirmed: an arrival of today
// is taken over (the question's confirmed date forgotten), a closed day reported only while a day
// is open here, another day's arrival and one no clock shows left alone.
TEST(OpenDay, FollowsTheStoreAndKnowsItsDate) {
    using F = OpenDay::Followed;
    const QDateTime now(QDate(2026, 12, 8), QTime(10, 0));
    const QString pattern = QStringLiteral("dd-MM-yyyy");
    const struct {
        const char* known;  // restored first when it holds an arrival
        const char* inStore;
        F followed;
        std::int32_t kommeCT;  // -1: no day open
    } cases[] = {
        {" ", " ", F::Nothing, -1},
        {" ", "08-12-2026 08:15", F::ArrivalTakenOver, 825},
        {"08-12-2026 08:00", "08-12-2026 08:00", F::Nothing, 800},
        {"08-12-2026 08:00", "08-12-2026 07:30", F::ArrivalTakenOver, 750},
        {"08-12-2026 08:00", " ", F::DayClosed, 800},  // the window closes it
        {"08-12-2026 08:00", "", F::DayClosed, 800},
        {" ", "", F::Nothing, -1},
        {" ", "07-12-2026 08:15", F::Nothing, -1},
        {" ", "08-12-2026 9e99", F::Nothing, -1},
    };
    for (const auto& c : cases) {
        OpenDay day;
        const StoredArrival known(QString::fromUtf8(c.known));
        day.storedAs(known);
        day.restore(known, now, pattern);
        EXPECT_EQ(day.follow(StoredArrival(QString::fromUtf8(c.inStore)), now, pattern), c.followed)
            << c.known << " / " << c.inStore;
        EXPECT_EQ(day.isOpen() ? day.kommeCT() : -1, c.kommeCT) << c.known << " / " << c.inStore;
        EXPECT_EQ(day.stored().text(), QString::fromUtf8(c.inStore));
    }
    // "Ja" at 00:01 to yesterday's night confirms today; a new date asks again. An arrival taken
    // over is on its own date only.
    OpenDay night;
    const QDateTime afterMidnight(QDate(2026, 12, 8), QTime(0, 1));
    ASSERT_TRUE(
        night.restore(StoredArrival(QStringLiteral("07-12-2026 22:00")), afterMidnight, pattern));
    EXPECT_EQ(night.arrival().date, QDate(2026, 12, 7));
    EXPECT_TRUE(night.onItsDate(QDate(2026, 12, 7)) && night.onItsDate(QDate(2026, 12, 8)));
    EXPECT_FALSE(night.onItsDate(QDate(2026, 12, 9)));
    night.follow(StoredArrival(QStringLiteral("08-12-2026 00:30")), afterMidnight, pattern);
    EXPECT_FALSE(night.onItsDate(QDate(2026, 12, 7)) || night.onItsDate(QDate(2026, 12, 9)));
    // A date the pattern cannot read counts as today's; no clock time opens no day.
    ASSERT_TRUE(night.restore(StoredArrival(QStringLiteral("xx 08:00")), now, pattern));
    EXPECT_EQ(night.arrival().date, now.date());
    EXPECT_FALSE(night.restore(StoredArrival(QStringLiteral("08-12-2026 9e99")), now, pattern));
    EXPECT_FALSE(night.isOpen());
    // The question names the store's arrival, or the open day's own when the store lost it.
    EXPECT_EQ(night.named(StoredArrival(QStringLiteral(" ")), pattern).text(),
              QStringLiteral("08-12-2026 08:00"));
}

// The open day counts from the UTC offset its arrival had when it was registered or restored,
// not one read again later: an arrival at 02:30 in the second pass of autumn's repeated hour once
// counted 1:10 instead of 0:10 at 02:40. A new arrival forgets what the desktop told before it.
TEST(OpenDay, KeepsItsArrivalsOffset) {
    const testing::InCopenhagen zone;
    const auto utc = [](int hour, int minute) {
        return QDateTime(QDate(2026, 10, 25), QTime(hour, minute), Qt::UTC).toLocalTime();
    };
    const struct {
        QDateTime registered;  // an arrival at 02:30
        QDateTime later;
        std::int32_t worked;
        bool restored = false;
    } cases[] = {{utc(0, 30), utc(2, 10), 167},  // 02:30 CEST to 03:10 CET
                 {utc(1, 30), utc(1, 40), 17},   // 02:30 CET to 02:40 CET
                 {utc(2, 10), utc(2, 10), 167, true}};
    for (const auto& c : cases) {
        OpenDay day;
        if (c.restored) {
            day.restore(StoredArrival(QStringLiteral("25-10-2026 02:30")), c.registered,
                        QStringLiteral("dd-MM-yyyy"));
        } else {
            day.open(250, c.registered.date(), c.registered);
        }
        const std::int32_t departure =
            *Omregn_Til_CT(c.later.time().hour() * 100 + c.later.time().minute());
        EXPECT_EQ(departure - day.kommeCT() + day.shiftUntil(departure, c.later), c.worked)
            << c.later.toString().toStdString();
    }
    OpenDay day;
    day.desktop(DesktopEvent::Locked, utc(15, 42));
    ASSERT_TRUE(day.lastSeen());
    day.open(800, QDate(2026, 10, 26), utc(15, 42).addDays(1));
    EXPECT_FALSE(day.lastSeen());
}

// --status restores the open day as the window's start does after "Ja": a night by the time that
// really passed, an arrival from further back by its time of day alone.
TEST(OpenDayStatus, CountsAsTheWindowAfterJa) {
    const struct {
        int day, hour, minute;
        const char* moedt;
        const char* line;
    } cases[] = {
        {8, 10, 0, "07-12-2026 08:00",
         "Mødt 07-12-2026 08:00 · idag 2:00 (200 ct) · fri kl. 15:54"},
        {10, 10, 0, "07-12-2026 08:00",
         "Mødt 07-12-2026 08:00 · idag 2:00 (200 ct) · fri kl. 15:54"},
        {8, 7, 0, "07-12-2026 08:00",
         "Mødt 07-12-2026 08:00 · idag 22:30 (2250 ct) · fri siden 15:54"},
        {8, 1, 30, "07-12-2026 22:00",
         "Mødt 07-12-2026 22:00 · idag 3:30 (350 ct) · fri kl. 05:54"},
        {8, 10, 0, "08-12-2026 08:00", "Mødt 08:00 · idag 2:00 (200 ct) · fri kl. 15:54"},
        {8, 10, 0, " ", "Ikke mødt"},
        {8, 10, 0, "08-12-2026 9e99", "Ikke mødt"},
    };
    for (const auto& c : cases) {
        const QDateTime now(QDate(2026, 12, c.day), QTime(c.hour, c.minute));
        const auto day = openDayStatus(QLatin1String(c.moedt), now, QStringLiteral("dd-MM-yyyy"),
                                       7.4f, {true, 50, 450});
        QString line = statusLine(day, {3, 2220, 125}, 7.4f);
        line.remove(QStringLiteral(" · periode 2220 ct (0 ct) · flex 125 ct"));
        EXPECT_EQ(line, QString::fromUtf8(c.line)) << c.moedt << " " << c.day;
    }
}

// Worked by hand. Offsets are those of Copenhagen: +1 h in winter, +2 h in summer.
TEST(ClockShift, MidnightAndDaylightSaving) {
    const int winter = 3600, summer = 7200;
    const QDate d7(2026, 12, 7), d8(2026, 12, 8), spring(2026, 3, 29), autumn(2026, 10, 25);
    const struct {
        Moment arrival, departure;
        std::int32_t shift;
    } cases[] = {
        {{d7, 2200, winter}, {d8, 150, winter}, 2400},        // 22:00 to 01:30: 350, not -2050
        {{d7, 825, winter}, {d8, 1650, winter}, 0},           // yesterday's 08:15 kept: 775
        {{d7, 800, winter}, {d8, 800, winter}, 0},            // the same time: no night
        {{d8, 800, winter}, {d8, 750, winter}, 0},            // typed earlier: a negative day
        {{spring, 50, winter}, {spring, 750, summer}, -100},  // 00:30-07:30 is 6 hours
        {{autumn, 50, summer}, {autumn, 750, winter}, 100},   // and 8 hours
        {{QDate(2026, 3, 28), 800, winter}, {spring, 900, summer}, 0},  // yesterday's: time alone
        {{QDate(2026, 10, 24), 2200, summer}, {autumn, 600, winter}, 2500},  // a night: 9 hours
        {{QDate(2026, 12, 5), 2200, winter}, {d8, 150, winter}, 0},  // days back: time alone
        {{QDate(), 2200, winter}, {d8, 150, winter}, 0}};            // no known date
    for (const auto& c : cases) {
        EXPECT_EQ(clockShift(c.arrival, c.departure), c.shift)
            << c.arrival.date.toString().toStdString() << " " << c.arrival.ct;
    }
}

// Which pass of the clock a time of day is read in: the clock's own minute is the clock's; in the
// repeated hour the first pass that is not after now (read as the second, an arrival at 02:30
// CEST counted 450 instead of 550 at 07:30); in the skipped hour the moment after the change
// (it was read as UTC).
TEST(UtcOffsetAt, TheRepeatedAndTheSkippedHour) {
    const horalog::testing::InCopenhagen zone;
    const QDate spring(2026, 3, 29), autumn(2026, 10, 25);
    const auto utc = [](const QDate& date, int hour, int minute) {
        return QDateTime(date, QTime(hour, minute), Qt::UTC).toLocalTime();
    };
    const struct {
        QDate date;
        std::int32_t ct;
        QDateTime now;
        std::int32_t offset;
    } cases[] = {
        {autumn, 250, utc(autumn, 2, 10), 7200},  // 02:30 from 03:10 CET: the first pass
        {autumn, 250, utc(autumn, 1, 30), 3600},  // the clock's own minute, second pass
        {autumn, 250, utc(autumn, 0, 20), 7200},  // both ahead: the earlier
        {autumn, 350, utc(autumn, 6, 0), 3600},
        {spring, 250, utc(spring, 2, 0), 3600},  // 02:30 does not exist: 03:30 CEST
        {spring, 350, utc(spring, 2, 0), 7200},
        {QDate(2026, 10, 24), 800, utc(autumn, 8, 0), 7200},
        {autumn, 2500, utc(autumn, 6, 0), 3600},  // 25:00 typed: no time of day, the clock's own
    };
    for (const auto& c : cases) {
        EXPECT_EQ(utcOffsetAt(c.date, c.ct, c.now), c.offset)
            << c.date.toString().toStdString() << " " << c.ct << " at "
            << c.now.toString().toStdString();
    }
}

// A record closes the stored arrival only when it has the arrival's date and time, is a day
// (not time off), and was appended after the arrival: the fixture of three days on one date once
// made every 08:00 arrival look closed. A night's record has the next date: it once went unseen,
// and a kill after it counted the night twice.
TEST(RecordClosesArrival, DateTimeAndGrowth) {
    const QString day = QStringLiteral("05-12-2026;4;08:00;16:30;800;3020;185;");
    const QString night = QStringLiteral("08-12-2026;1;22:00;01:30;300;300;-440;");
    const struct {
        QString record;
        const char* stored;
        std::optional<qint64> before;
        qint64 now;
        bool closes;
        const char* pattern = "dd-MM-yyyy";
    } cases[] = {
        {night, "07-12-2026 22:00", 100, 140, true},
        {night, "06-12-2026 22:00", 100, 140, false},
        {night, "07-12-2026 22:00", 140, 140, false},
        {QStringLiteral("08-12-2026;1;22:00;22:00;2350;2350;1610;"), "07-12-2026 22:00", 100, 140,
         true},  // 24 hours
        {QStringLiteral("08-12-2026;1;22:00;23:30;100;100;-640;"), "07-12-2026 22:00", 100, 140,
         false},  // the next date's own evening
        {QStringLiteral("01-01-2027;1;23:00;07:00;750;750;10;"), "31-12-2026 23:00", 100, 140,
         true},
        {QStringLiteral("08.12.26;1;22:00;01:30;300;300;-440;"), "07.12.26 22:00", 100, 140, true,
         "dd.MM.yy"},
        {QStringLiteral("08-12-åååå;1;22:00;01:30;300;300;-440;"), "07-12-åååå 22:00", 100, 140,
         false, "dd-MM-åååå"},  // a date the pattern cannot read
        {QStringLiteral("08-12-2026;1;22:00;-;-;300;-440;"), "07-12-2026 22:00", 100, 140, false},
        {day, "05-12-2026 08:00", 100, 140, true},
        {day, "05-12-2026 08:00", 140, 140, false},  // the file has not grown since
        {day, "05-12-2026 08:00", std::nullopt, 140, false},
        {day, "05-12-2026 08:15", 100, 140, false},
        {day, "06-12-2026 08:00", 100, 140, false},
        {day, " ", 100, 140, false},
        {QStringLiteral("05-12-2026;4;08:00;-;-;3020;185;"), "05-12-2026 08:00", 100, 140, false},
    };
    for (const auto& c : cases) {
        EXPECT_EQ(recordClosesArrival(c.record, StoredArrival(QString::fromUtf8(c.stored)),
                                      QString::fromUtf8(c.pattern), c.before, c.now),
                  c.closes)
            << c.record.toStdString() << " / " << c.stored;
    }
}

// The first minute at which the running figure, less the lunch, reaches the daily hours: across
// midnight and both daylight-saving days the time that really passed counts. An arrival from an
// earlier date that is no night now counts by its time of day: its hours are reached today (the
// minute of the arrival's own date once said «fri siden» at 10:00 on a day just begun).
TEST(HoursReachedAt, TheFirstMinuteThatCounts) {
    const testing::InCopenhagen zone;
    const struct {
        QDate date;
        std::int32_t arrival;  // hhmm
        float hours;
        std::int16_t lunch;  // 0: the deduction is off
        const char* now;
        const char* reached;  // empty: not today
    } cases[] = {
        {QDate(2026, 12, 8), 732, 7.4f, 50, "2026-12-08 08:00", "2026-12-08 15:26"},
        {QDate(2026, 12, 8), 732, 7.4f, 0, "2026-12-08 08:00", "2026-12-08 14:56"},
        {QDate(2026, 12, 8), 805, 7.5f, 30, "2026-12-08 08:00", "2026-12-08 15:53"},
        {QDate(2026, 12, 7), 2200, 7.4f, 50, "2026-12-08 01:30", "2026-12-08 05:54"},  // a night
        {QDate(2026, 10, 25), 100, 7.4f, 50, "2026-10-25 02:00", "2026-10-25 07:54"},  // repeated
        {QDate(2026, 3, 29), 100, 7.4f, 50, "2026-03-29 01:00", "2026-03-29 09:54"},   // skipped
        {QDate(2026, 12, 8), 732, 0.0f, 0, "2026-12-08 08:00", "2026-12-08 07:32"},
        {QDate(2026, 12, 7), 800, 7.4f, 50, "2026-12-08 10:00", "2026-12-08 15:54"},
        {QDate(2026, 12, 5), 800, 7.4f, 50, "2026-12-08 07:00", "2026-12-08 15:54"},
        {QDate(2026, 12, 7), 800, 7.4f, 50, "2026-12-08 07:00", "2026-12-07 15:54"},  // 23 hours
        {QDate(2026, 12, 7), 2200, 7.4f, 50, "2026-12-08 23:00", ""},
        {QDate(2026, 10, 24), 100, 7.4f, 50, "2026-10-25 06:00", "2026-10-25 08:54"},  // clock
    };
    for (const auto& c : cases) {
        const QDateTime arrival(c.date, QTime(c.arrival / 100, c.arrival % 100));
        const QDateTime now = QDateTime::fromString(QLatin1String(c.now), u"yyyy-MM-dd HH:mm");
        const auto at = hoursReachedAt({c.date, *Omregn_Til_CT(c.arrival), arrival.offsetFromUtc()},
                                       now, c.hours, {c.lunch != 0, c.lunch, 450});
        EXPECT_EQ(at ? at->toString(u"yyyy-MM-dd HH:mm") : QString(), QLatin1String(c.reached))
            << c.now;
    }
    const QDateTime now(QDate(2026, 12, 8), QTime(8, 0));
    EXPECT_FALSE(hoursReachedAt({QDate(2026, 12, 8), 2500, 3600}, now, 7.4f, {}));  // no clock
    EXPECT_FALSE(hoursReachedAt({QDate(), 800, 3600}, now, 7.4f, {}));
}

}  // namespace
}  // namespace horalog
