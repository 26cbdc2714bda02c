#include "timekeeping/working_day.h"

#include <QTimeZone>
#include <algorithm>
#include <cmath>

#include "text/time_text.h"
#include "timekeeping/open_day.h"

namespace horalog {

namespace {

struct Parts {
    QString date;
    QString time;
};

Parts splitStored(const QString& stored) {
    const qsizetype blank = stored.indexOf(QLatin1Char(' '));
    return blank < 0 ? Parts{stored, QString()} : Parts{stored.left(blank), stored.mid(blank + 1)};
}

// A time of day «16:42» as hhmm; nothing when it is none.
std::optional<std::int32_t> clockTime(const QString& text) {
    const auto hhmm = Tekst_Til_Tid(text.left(5), 0);
    if (!hhmm || *hhmm >= 2400 || *hhmm % 100 >= 60) {
        return std::nullopt;
    }
    return hhmm;
}

}  // namespace

InputRequest forgottenDepartureQuestion(const QString& stored, const QString& proposal) {
    const Parts p = splitStored(stored);
    return {QStringLiteral("Glemt gå-tid"),
            QStringLiteral("Gå-tiden for %1 blev ikke registreret (mødt %2).\r\n\r\n"
                           "Angiv gå-tiden for den dag, så dagen kommer med i flex-saldoen.\r\n"
                           "Annuller springer dagen over.")
                .arg(p.date, p.time),
            proposal};
}

QString forgottenDepartureDefault(const QString& stored, const QStringList& lastActive) {
    const Parts arrival = splitStored(stored);
    const auto from = clockTime(arrival.time);
    std::optional<std::int32_t> latest;
    for (const QString& moment : lastActive) {
        const Parts p = splitStored(moment);
        const auto at = clockTime(p.time);
        if (from && at && p.date == arrival.date && *at > *from && (!latest || *at > *latest)) {
            latest = at;
        }
    }
    return latest ? Formater_Tid(*latest) : QString();
}

QString storedArrivalDate(const QString& stored) {
    return splitStored(stored).date;
}

QString forgottenDayStatus(const QString& dateText, std::int16_t worked) {
    return QStringLiteral("Arbejdstid ") + dateText + QStringLiteral(": ") +
           Formater_Tid(Omregn_Til_Tid(worked)) + QStringLiteral("  (") + QString::number(worked) +
           QStringLiteral(" ct)");
}

QString clockHours(std::int32_t ct) {
    QString hours = Formater_Tid(Omregn_Til_Tid(ct));
    if (hours.startsWith(QLatin1Char('0')) && hours.size() == 5) {
        hours.remove(0, 1);
    }
    return hours;
}

QString hoursReachedTitle() {
    return QStringLiteral("Normtiden for i dag er nået");
}

QString hoursReachedText(float arbejdstimer) {
    return clockHours(dailyHoursCT(arbejdstimer)) +
           QStringLiteral(" arbejdet. Husk at registrere gå-tid, når du går.");
}

}  // namespace horalog
