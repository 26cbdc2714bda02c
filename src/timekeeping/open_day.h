#pragma once

#include <QDate>
#include <QDateTime>
#include <QString>
#include <cstdint>
#include <optional>
#include <vector>

#include "timekeeping/balance.h"

namespace horalog {

// What a stored "Moedt" means today: no open day, a day opened today, or an arrival from another
// day (or from a date the current pattern cannot read) to ask the user about. The date and the
// time are read by the blank between them, so a changed date format never moves the time.
struct OpenDayDecision {
    enum class Kind { None, Today, Ask } kind = Kind::None;
    QDate date;        // the arrival's date; invalid when the pattern cannot read it
    QString timeText;  // the stored time of day, «08:15»
};
OpenDayDecision decideOpenDay(const QString& stored, const QDate& today, const QString& pattern);

// Whether a stored "Moedt" holds an arrival at all: a date, a blank and a time; " " holds none.
bool holdsArrival(const QString& stored);

// Whether the file's last record closes the stored arrival: a day record with the arrival's date
// and time, or a night's (dated the next day, its departure at or before the arrival's time),
// appended after the arrival was registered (the file has grown since; its size then is stored
// beside the arrival). A departure saved but not yet taken out of the store (a kill, a full disk
// between the two) is then not counted again. Without the size nothing is known. Dates are read
// in the user's short date pattern.
bool recordClosesArrival(const QString& record, const QString& stored, const QString& pattern,
                         std::optional<qint64> sizeAtArrival, qint64 sizeNow);

// The user's short date pattern as Qt reads it: Qt knows the day and year letters in lower case
// only, and a Danish pattern may spell the year letters "å".
QString qtDatePattern(QString pattern);

// A date text in the user's short pattern; a two-digit year is read as POSIX strptime reads it
// (00-68 this century, 69-99 the last). Invalid when the pattern cannot read it.
QDate readDate(const QString& text, const QString& pattern);

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

}  // namespace horalog
