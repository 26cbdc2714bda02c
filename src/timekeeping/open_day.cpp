#include "timekeeping/open_day.h"

#include <QStringList>
#include <QTimeZone>
#include <algorithm>
#include <cmath>
#include <functional>

#include "text/time_text.h"

namespace horalog {

bool recordClosesArrival(const QString& record, const StoredArrival& stored,
                         const QString& pattern) {
    if (!stored.holdsArrival()) {
        return false;
    }
    const QStringList fields = record.split(QLatin1Char(';'));
    if (fields.size() < 7 || fields[2] != stored.timeText() || fields[3] == QLatin1String("-")) {
        return false;
    }
    if (fields[0] == stored.dateText()) {
        return true;
    }
    // A night's record carries the departure's date: the day after the arrival's, with a
    // departure at or before the arrival's time of day.
    const QDate arrivalDate = stored.date(pattern);
    const auto kom = Tekst_Til_Tid(fields[2], 0);
    const auto gaa = Tekst_Til_Tid(fields[3], 0);
    return arrivalDate.isValid() && readDate(fields[0], pattern) == arrivalDate.addDays(1) && kom &&
           gaa && *gaa <= *kom;
}

std::int32_t clockShift(const Moment& arrival, const Moment& departure) {
    const bool dayBefore = arrival.date.isValid() && arrival.date.addDays(1) == departure.date;
    const bool night = dayBefore && departure.ct < arrival.ct;
    // An hour skipped in spring did not pass; one repeated in autumn passed twice. That holds
    // only where the time that really passed is counted: an arrival from another day that is
    // not a night past midnight counts by its time of day alone.
    if (night || arrival.date == departure.date) {
        return (night ? 2400 : 0) - (departure.utcOffsetSeconds - arrival.utcOffsetSeconds) / 36;
    }
    return 0;
}

std::vector<std::int32_t> utcOffsetsAt(const QDate& date, const QTime& time) {
    // The wall-clock reading as if it were UTC; each offset in force a day either side that
    // gives this reading back is one pass of it. A day holds at most one change.
    const qint64 reading = QDateTime(date, time, Qt::UTC).toSecsSinceEpoch();
    std::vector<std::int32_t> offsets;
    for (const qint64 probe : {reading - 86400, reading + 86400}) {
        const std::int32_t offset = QDateTime::fromSecsSinceEpoch(probe).offsetFromUtc();
        if (QDateTime::fromSecsSinceEpoch(reading - offset).offsetFromUtc() == offset &&
            (offsets.empty() || offsets.front() != offset)) {
            offsets.push_back(offset);
        }
    }
    // The first pass is the one with the larger offset: it comes earlier.
    std::sort(offsets.begin(), offsets.end(), std::greater<>());
    return offsets;
}

std::int32_t utcOffsetAt(const QDate& date, std::int32_t ct, const QDateTime& now) {
    const std::int32_t hhmm = Omregn_Til_Tid(ct);
    const QTime time(hhmm / 100, hhmm % 100);
    if (!time.isValid() || !date.isValid() ||
        (date == now.date() && time.hour() == now.time().hour() &&
         time.minute() == now.time().minute())) {
        return now.offsetFromUtc();
    }
    const qint64 reading = QDateTime(date, time, Qt::UTC).toSecsSinceEpoch();
    const std::vector<std::int32_t> offsets = utcOffsetsAt(date, time);
    if (offsets.empty()) {
        // A time the clock skipped names the moment after the change: read with the offset
        // from before it.
        return QDateTime::fromSecsSinceEpoch(reading - 86400).offsetFromUtc();
    }
    // A repeated time is the first pass that is not after now: a time worked of zero or more.
    for (const std::int32_t offset : offsets) {
        if (reading - offset <= now.toSecsSinceEpoch()) {
            return offset;
        }
    }
    return offsets.front();
}

Moment arrivalAt(const QDate& date, std::int32_t ct, const QDateTime& now) {
    return {date, ct, utcOffsetAt(date, ct, now)};
}

std::int32_t shiftUntil(const Moment& arrival, std::int32_t departureCT, const QDateTime& now) {
    return clockShift(arrival,
                      {now.date(), departureCT, utcOffsetAt(now.date(), departureCT, now)});
}

std::optional<QDateTime> hoursReachedAt(const Moment& arrival, const QDateTime& now,
                                        float arbejdstimer, const LunchRule& lunch) {
    const std::int32_t hhmm = Omregn_Til_Tid(arrival.ct);
    const QTime time(hhmm / 100, hhmm % 100);
    if (!arrival.date.isValid() || !time.isValid() || arrival.ct < 0) {
        return std::nullopt;
    }
    const std::int32_t target = dailyHoursCT(arbejdstimer) + Frokost_Fradrag(-1, lunch);
    // The running figure counts the clock's minutes in centi-hours: the minute is found near the
    // real time's, on the figure itself.
    const std::int64_t estimate = std::max<std::int64_t>(0, target * 60LL / 100 - 2);
    const std::int32_t clock = now.time().hour() * 100 + now.time().minute();
    if (arrival.date < now.date() && shiftUntil(arrival, *Omregn_Til_CT(clock), now) == 0) {
        // The figure is the clock's reading alone: a minute of today, or none.
        const std::int64_t from = time.hour() * 60 + time.minute() + estimate;
        for (std::int64_t m = from; m < from + 5 && m < 24 * 60; ++m) {
            if (*Omregn_Til_CT(static_cast<std::int32_t>(m / 60 * 100 + m % 60)) - arrival.ct >=
                target) {
                return QDateTime(now.date(),
                                 QTime(static_cast<int>(m / 60), static_cast<int>(m % 60)));
            }
        }
        return std::nullopt;
    }
    const QDateTime start(arrival.date, time, QTimeZone(arrival.utcOffsetSeconds));
    for (std::int64_t m = estimate; m < estimate + 5; ++m) {
        const QDateTime at = start.addSecs(m * 60).toLocalTime();
        const auto ct = Omregn_Til_CT(at.time().hour() * 100 + at.time().minute());
        if (*ct - arrival.ct + clockShift(arrival, {at.date(), *ct, at.offsetFromUtc()}) >=
            target) {
            return at;
        }
    }
    return start.addSecs(estimate * 60 + 120).toLocalTime();
}

std::optional<DaySoFar> daySoFar(const Moment& arrival, const QDateTime& now, float arbejdstimer,
                                 const LunchRule& lunch) {
    const std::int32_t clock = now.time().hour() * 100 + now.time().minute();
    const auto worked = workedSoFar(arrival.ct, Formater_Tid(clock), 0, lunch,
                                    shiftUntil(arrival, *Omregn_Til_CT(clock), now));
    if (!worked) {
        return std::nullopt;
    }
    return DaySoFar{*worked, hoursReachedAt(arrival, now, arbejdstimer, lunch)};
}

void OpenDay::open(std::int32_t ct, const QDate& date, const QDateTime& now) {
    arrival_ = arrivalAt(date, ct, now);
    open_ = true;
    away_ = Away{};  // what the desktop told before bears on the day before
}

bool OpenDay::restore(const StoredArrival& stored, const QDateTime& now, const QString& pattern) {
    const auto time = stored.time();
    open_ = false;
    if (!stored.holdsArrival() || !time) {
        return false;
    }
    const QDate date = stored.date(pattern);
    open(time->ct, date.isValid() ? date : now.date(), now);
    confirmed_ = now.date();
    return true;
}

StoredArrival OpenDay::named(const StoredArrival& inStore, const QString& pattern) const {
    return inStore.holdsArrival() ? inStore
                                  : StoredArrival::of(arrival_.date, pattern, arrival_.ct);
}

OpenDay::Followed OpenDay::follow(const StoredArrival& inStore, const QDateTime& now,
                                  const QString& pattern) {
    if (inStore == stored_) {
        return Followed::Nothing;
    }
    stored_ = inStore;
    const StoredArrival::Day day = inStore.dayAt(now.date(), pattern);
    if (day == StoredArrival::Day::Today && inStore.time()) {
        const QDate date = inStore.date(pattern);
        open(inStore.time()->ct, date.isValid() ? date : now.date(), now);
        confirmed_ = QDate();
        return Followed::ArrivalTakenOver;
    }
    return day == StoredArrival::Day::None && open_ ? Followed::DayClosed : Followed::Nothing;
}

}  // namespace horalog
