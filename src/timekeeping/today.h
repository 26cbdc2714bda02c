#pragma once

#include <QDateTime>
#include <QString>
#include <cstdint>
#include <optional>

#include "timekeeping/balance.h"
#include "timekeeping/stored_arrival.h"

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

// The arrival proposed from the system's start: hh:mm, seconds dropped; 00:00 when the system
// has run since before midnight.
QString proposedArrival(const QTime& now, std::int64_t uptimeMs);

// Leaving the departure field clears today's figures when no day is open or the text reads 0
// («00:30» too: the number reading stops at the colon).
bool leavingClearsToday(bool kommeRegistreret, const QString& gaaText);

}  // namespace horalog
