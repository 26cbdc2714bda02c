#pragma once

#include <QDateTime>
#include <QString>
#include <QTime>
#include <cstdint>
#include <optional>

#include "timekeeping/balance.h"

namespace horalog {

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

// The open day of a stored "Moedt" at `now`, restored as the window's start restores it after
// "Ja" (OpenDay): a night past midnight counts the time that really passed, an arrival from an
// earlier date otherwise its time of day alone. Nothing when it holds no arrival with a clock
// time.
std::optional<StatusDay> openDayStatus(const QString& stored, const QDateTime& now,
                                       const QString& pattern, float arbejdstimer,
                                       const LunchRule& lunch);

}  // namespace horalog
