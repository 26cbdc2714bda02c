#pragma once

#include <QDateTime>
#include <QString>
#include <cstdint>
#include <optional>

#include "timekeeping/balance.h"

namespace horalog {

// The window caption when no running figures are shown.
QString plainCaption();

// What the window shows of today's work up to a time text; nothing when the text or the result
// cannot be held, and the figures are then cleared.
struct TodayTexts {
    QString ct;       // «800 ct »
    QString tm;       // «08:00 »
    QString caption;  // «Horalogs registrering - 800 ct »
};
std::optional<TodayTexts> todayTexts(std::int32_t kommeCT, const QString& text, int datoLaengde,
                                     const LunchRule& lunch, std::int32_t shift = 0);

// The three balance labels.
struct BalanceTexts {
    QString total;
    QString period;
    QString diff;
};
BalanceTexts balanceTexts(const Figures& figures, float arbejdstimer);

// The short date pattern: its length, whether it has the day first and the year last (a Danish
// pattern may spell the year letters "å"), and the pattern as the refusal names it.
struct DatePattern {
    std::int16_t length = 0;
    bool accepted = false;
    QString shown;
};
DatePattern checkDatePattern(const QString& pattern);
QString datePatternRefusal(const QString& shown);

// The moment as the date in the user's short pattern, a blank and the time with seconds.
QString dateTimeText(const QDate& date, const QString& pattern, const QString& timeWithSeconds);

// The arrival proposed from the system's start: hh:mm, seconds dropped; 00:00 when the system
// has run since before midnight.
QString proposedArrival(const QTime& now, std::int64_t uptimeMs);

// The question about a stored arrival from another day, naming it as it is stored.
QString otherDayQuestion(const QString& stored);

// A typed arrival or departure: its hh:mm value and centi-hours; nothing when it cannot be held.
struct TypedTime {
    std::int32_t hhmm = 0;
    std::int32_t ct = 0;
};
std::optional<TypedTime> readTypedTime(const QString& text, int datoLaengde);

QString arrivalStatus(const TypedTime& arrival);
// The stored arrival: the date part of the date-time text, a blank and the arrival's time.
QString storedArrivalText(const QString& dateTimeText, int datoLaengde, std::int32_t kommeCT);
QString departureStatus(std::int16_t worked);
QString dayTooLargeRefusal();
QString dayClosedElsewhere();
// The status lines when another copy of the program changed the shared store.
QString arrivalTakenOver(const QString& kommeText);
QString dayClosedElsewhereStatus();
QString settingsChangedElsewhere();
// The day's record is on disk, but the store could not forget the open day.
QString daySavedStoreFailed(const QString& error);

// Leaving the departure field clears today's figures when no day is open or the text reads 0
// («00:30» too: the number reading stops at the colon).
bool leavingClearsToday(bool kommeRegistreret, const QString& gaaText);

// One line for a panel: the open day's arrival and time so far (nothing when no day is open),
// the period's time and its +/-, and the flex total.
struct StatusDay {
    QString arrival;  // «08:00», or «07.12.2026 22:00» for an arrival from another day
    std::int32_t worked = 0;
    // When the day's hours are, or were, reached: «fri kl. 15:26», «fri siden 15:26».
    std::optional<QTime> hoursReached;
    bool reachedNow = false;
};
QString statusLine(const std::optional<StatusDay>& day, const Figures& figures, float arbejdstimer);

}  // namespace horalog
