#include "timekeeping/status_line.h"

#include "timekeeping/open_day.h"
#include "timekeeping/working_day.h"

namespace horalog {

QString statusLine(const std::optional<StatusDay>& day, const Figures& figures,
                   float arbejdstimer) {
    const QString middle = QStringLiteral(" \u00b7 ");
    QString line = QStringLiteral("Ikke mødt");
    QString free;
    if (day) {
        line = QStringLiteral("Mødt ") + day->arrival + middle + QStringLiteral("idag ") +
               clockHours(day->worked) + QStringLiteral(" (") + QString::number(day->worked) +
               QStringLiteral(" ct)");
        if (day->hoursReached) {
            free = middle +
                   (day->reachedNow ? QStringLiteral("fri siden ") : QStringLiteral("fri kl. ")) +
                   day->hoursReached->toString(u"HH:mm");
        }
    }
    return line + middle + QStringLiteral("periode ") + QString::number(figures.sum) +
           QStringLiteral(" ct (") + QString::number(periodSurplus(figures, arbejdstimer)) +
           QStringLiteral(" ct)") + middle + QStringLiteral("flex ") +
           QString::number(figures.total) + QStringLiteral(" ct") + free;
}

std::optional<StatusDay> openDayStatus(const QString& stored, const QDateTime& now,
                                       const QString& pattern, float arbejdstimer,
                                       const LunchRule& lunch) {
    const StoredArrival arrival(stored);
    OpenDay day;
    if (!day.restore(arrival, now, pattern)) {
        return std::nullopt;
    }
    const auto soFar = daySoFar(day.arrival(), now, arbejdstimer, lunch);
    const bool reached = soFar && soFar->hoursReached;
    return StatusDay{arrival.dayAt(now.date(), pattern) == StoredArrival::Day::Today
                         ? arrival.timeText()
                         : stored,
                     soFar ? soFar->worked : 0,
                     reached ? std::optional(soFar->hoursReached->time()) : std::nullopt,
                     reached && now >= *soFar->hoursReached};
}

}  // namespace horalog
