#pragma once

#include <QDate>
#include <QDateTime>
#include <QString>
#include <cstdint>
#include <optional>
#include <vector>

#include "platform/desktop_event.h"
#include "timekeeping/away.h"
#include "timekeeping/balance.h"
#include "timekeeping/stored_arrival.h"

namespace horalog {

// Whether a record appended after the arrival was registered closes it: a day record with the
// arrival's date and time, or a night's (dated the next day, its departure at or before the
// arrival's time). A departure saved but not yet taken out of the store (a kill, a full disk
// between the two) is then not counted again. Dates are read in the user's short date pattern.
bool recordClosesArrival(const QString& record, const StoredArrival& stored,
                         const QString& pattern);

// A wall-clock moment as the window knows it: the date, the time of day in centi-hours, and the
// offset from UTC that the clock had then.
struct Moment {
    QDate date;
    std::int32_t ct = 0;
    std::int32_t utcOffsetSeconds = 0;
};

// The centi-hours that the difference of the two times of day misses: a whole day when the
// departure lies on the day after the arrival and earlier in the day (a night shift), and the
// hour that a change of daylight saving time skipped or repeated between them. An arrival from
// further back, or of no known date, counts by its time of day alone.
std::int32_t clockShift(const Moment& arrival, const Moment& departure);

// The UTC offsets the local clock has at a time of day on a date: one as a rule, two in the hour
// that autumn repeats (the first pass first), none in the hour that spring skips.
std::vector<std::int32_t> utcOffsetsAt(const QDate& date, const QTime& time);

// The UTC offset of a time of day (centi-hours) on a date. The clock's own minute has the
// clock's offset; a time in the repeated hour is the first pass that is not after now (so the
// time worked since is never negative); a time in the skipped hour names the moment after the
// change. The window keeps what it got for an arrival while it runs.
std::int32_t utcOffsetAt(const QDate& date, std::int32_t ct, const QDateTime& now);

// The open day's arrival, as the window and --status both count from it: its date, its time of
// day and the offset the clock had then, read once, when it is registered, taken over or read.
Moment arrivalAt(const QDate& date, std::int32_t ct, const QDateTime& now);

// What the clock's reading misses from the arrival to a departure at departureCT on the clock's
// date now.
std::int32_t shiftUntil(const Moment& arrival, std::int32_t departureCT, const QDateTime& now);

// The first whole minute at which the open day's worked time, less the lunch that closing it
// deducts, reaches the daily hours; nothing when the arrival is no clock time. An arrival from an
// earlier date that is no night past midnight now counts by its time of day alone, as if it were
// today's (as the window counts it after "Ja"): its hours are reached today.
std::optional<QDateTime> hoursReachedAt(const Moment& arrival, const QDateTime& now,
                                        float arbejdstimer, const LunchRule& lunch);

// The open day up to now, as --status shows it: the time worked and when the hours are reached.
struct DaySoFar {
    std::int32_t worked = 0;
    std::optional<QDateTime> hoursReached;
};
std::optional<DaySoFar> daySoFar(const Moment& arrival, const QDateTime& now, float arbejdstimer,
                                 const LunchRule& lunch);

// The open day as this copy holds it: the arrival (its date, time of day and the UTC offset it was
// registered in), the stored text as this copy last read or wrote it, the date on which the user
// last said to go on with it, whether that question stands now, and what the desktop told of the
// user's stretches away since it began. The window shows it; --status counts from it too.
class OpenDay {
public:
    bool isOpen() const { return open_; }
    const Moment& arrival() const { return arrival_; }
    std::int32_t kommeCT() const { return arrival_.ct; }

    // An arrival registered here or taken over from another copy. Its UTC offset is read once,
    // now: in the hour that autumn repeats, a later reading could take it for the other pass.
    void open(std::int32_t ct, const QDate& date, const QDateTime& now);
    // The stored arrival as a start that goes on with it has it ("Ja" to another day's confirms
    // today): a date the pattern cannot read counts as today's, as only its time of day is used.
    // False, and no day open, when it holds no arrival a clock can show.
    bool restore(const StoredArrival& stored, const QDateTime& now, const QString& pattern);
    void close() { open_ = false; }

    // "Moedt" as this copy last read or wrote it.
    const StoredArrival& stored() const { return stored_; }
    void storedAs(const StoredArrival& stored) { stored_ = stored; }
    // The stored arrival to name in a question: the store's while it holds one, else the open
    // day's own from memory.
    StoredArrival named(const StoredArrival& inStore, const QString& pattern) const;

    // Whether today is the open day's own date, or one the user said to go on with it on.
    bool onItsDate(const QDate& today) const {
        return today == arrival_.date || today == confirmed_;
    }
    void confirm(const QDate& today) { confirmed_ = today; }
    bool asking() const { return asking_; }
    void setAsking(bool asking) { asking_ = asking; }

    // What another copy changed in the store since this copy looked: an arrival of today's it
    // registered is taken over (the day is then open here with it); a closed day closes nothing
    // here by itself: the window closes it. An arrival of another day is that copy's question.
    enum class Followed { Nothing, ArrivalTakenOver, DayClosed };
    Followed follow(const StoredArrival& inStore, const QDateTime& now, const QString& pattern);

    // What the clock's reading misses from the arrival to a departure on today's date.
    std::int32_t shiftUntil(std::int32_t departureCT, const QDateTime& now) const {
        return horalog::shiftUntil(arrival_, departureCT, now);
    }
    std::optional<QDateTime> hoursReached(const QDateTime& now, float arbejdstimer,
                                          const LunchRule& lunch) const {
        return hoursReachedAt(arrival_, now, arbejdstimer, lunch);
    }

    // A lock or a sleep begins a stretch away, an unlock or a wake ends it (Away).
    std::optional<AwayStretch> desktop(DesktopEvent event, const QDateTime& at) {
        return away_.on(event, at);
    }
    const std::optional<QDateTime>& lastSeen() const { return away_.lastSeen(); }

private:
    StoredArrival stored_;
    Moment arrival_;
    bool open_ = false;
    QDate confirmed_;
    bool asking_ = false;
    Away away_;
};

}  // namespace horalog
