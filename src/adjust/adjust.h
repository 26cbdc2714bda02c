#pragma once

#include <QString>
#include <optional>

#include "text/message.h"
#include "text/result.h"
#include "timekeeping/balance.h"

namespace horalog {

// The hours off first proposed: a standard working day, whatever the user's daily hours.
inline constexpr float kTimeOffProposal = 7.4f;
InputRequest timeOffQuestion(const QString& proposal);
InputRequest timeOffCommentQuestion(const QString& proposal);
QString timeOffCommentProposal();  // «afspadsering»
QString timeOffSubject();          // «Afspadseringen», as a refusal names it

// Hours off in lieu booked with their comment: the figures after, the record and the status
// line; or failed with the refusal to show instead, and nothing is written.
struct Adjustment {
    Figures after;
    QString record;
    QString status;
};
// answer is the hours as typed (read with "," as "."), shown in a refusal.
Result<Adjustment> bookTimeOff(const Figures& before, double hours, QString comment,
                               const QString& answer, const QString& date, QChar decimalSeparator);

Message periodResetQuestion();
// Closing the period: day count and sum start again, the balance carries over.
Result<Adjustment> resetPeriod(const Figures& before, const QString& date);

}  // namespace horalog
