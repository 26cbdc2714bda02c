#pragma once

#include <QDate>
#include <QDateTime>
#include <QString>
#include <QStringList>
#include <cstdint>
#include <optional>

#include "text/message.h"
#include "timekeeping/balance.h"

namespace horalog {

// A departure forgotten on the open day's own date, asked for after the user said not to go on
// with that day: the question, the answer proposed, and the status line once it is recorded.
// `stored` is "Moedt" as stored: the date in the user's pattern, a blank, the arrival «08:00».
InputRequest forgottenDepartureQuestion(const QString& stored, const QString& proposal);
// The latest of the moments known in use (date-time texts as "Moedt" holds them) that lies on the
// arrival's date after the arrival, as «16:42»; empty when none does.
QString forgottenDepartureDefault(const QString& stored, const QStringList& lastActive);
// The stored arrival's date part: the forgotten day's record carries it.
QString storedArrivalDate(const QString& stored);
QString forgottenDayStatus(const QString& dateText, std::int16_t worked);

// Centi-hours as a clock reads them: «7:24», «10:05».
QString clockHours(std::int32_t ct);

// The tray's notice that today's hours are reached.
QString hoursReachedTitle();
QString hoursReachedText(float arbejdstimer);

}  // namespace horalog
