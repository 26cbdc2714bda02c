#pragma once

#include <QDate>
#include <QDateTime>
#include <QString>
#include <QStringList>
#include <cstdint>
#include <optional>

#include "text/message.h"
#include "text/result.h"
#include "timekeeping/balance.h"
#include "timekeeping/stored_arrival.h"

namespace horalog {

// A departure forgotten on the open day's own date, asked for after the user said not to go on
// with that day: the question, the answer proposed, and the status line once it is recorded.
InputRequest forgottenDepartureQuestion(const StoredArrival& stored, const QString& proposal);
// The latest of the moments known in use (date-time texts as "Moedt" holds them) that lies on the
// arrival's date after the arrival, as «16:42»; empty when none does.
QString forgottenDepartureDefault(const StoredArrival& stored, const QStringList& lastActive);
QString forgottenDayStatus(const QString& dateText, std::int16_t worked);

// The forgotten day's record as the window writes it for a departure at that moment, from the
// box's answer: a clock time (16:42, 16.42, 1642) after the arrival's is that day's; one at or
// before it is the next day's (a night, whose record carries the departure's date) when the shift
// is then at most 16 hours. Refused with the reason otherwise. `arrivalOffset` is the UTC offset
// the arrival was registered in, when the window still knows it.
struct ForgottenDay {
    QString date;  // the record's, in the user's pattern
    std::int32_t kommeCT = 0;
    std::int32_t gaaCT = 0;
    std::int32_t shift = 0;  // what the clock's reading misses (a midnight, daylight saving)
};
Result<ForgottenDay> forgottenDay(const StoredArrival& stored, const QString& typed,
                                  const QString& pattern, std::optional<std::int32_t> arrivalOffset,
                                  const QDateTime& now);

// Why the window cannot record a departure: one before the arrival (on the arrival's own date it
// is no night: a clock set back, a typo) or more than a day after it (9999 read as 100:39).
// Nothing when it can.
std::optional<QString> departureRefusal(std::int32_t kommeCT, std::int32_t gaaCT,
                                        std::int32_t shift);

// Centi-hours as a clock reads them: «7:24», «10:05».
QString clockHours(std::int32_t ct);

// The tray's notice that today's hours are reached.
QString hoursReachedTitle();
QString hoursReachedText(float arbejdstimer);

}  // namespace horalog
