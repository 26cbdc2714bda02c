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

std::int32_t dailyCT(float arbejdstimer) {
    return static_cast<std::int32_t>(std::lround(static_cast<double>(arbejdstimer) * 100.0));
}

}  // namespace

QString forgottenDepartureQuestion(const QString& stored) {
    const Parts p = splitStored(stored);
    return QStringLiteral(
               "Gå-tiden for %1 blev ikke registreret (mødt %2).\r\n\r\n"
               "Angiv gå-tiden for den dag, så dagen kommer med i flex-saldoen.\r\n"
               "Annuller springer dagen over.")
        .arg(p.date, p.time);
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

std::optional<QDateTime> hoursReachedAt(const QDate& date, std::int32_t arrivalHhmm,
                                        std::int32_t utcOffsetSeconds, float arbejdstimer,
                                        const LunchRule& lunch) {
    const QTime time(arrivalHhmm / 100, arrivalHhmm % 100);
    const auto arrivalCT = Omregn_Til_CT(arrivalHhmm);
    if (!date.isValid() || !time.isValid() || arrivalHhmm < 0 || !arrivalCT) {
        return std::nullopt;
    }
    const QDateTime arrival(date, time, QTimeZone(utcOffsetSeconds));
    const std::int32_t target = dailyCT(arbejdstimer) + Frokost_Fradrag(-1, lunch);
    // The running figure counts the clock's minutes in centi-hours: the minute is found near the
    // real time's, on the figure itself.
    const std::int64_t estimate = std::max<std::int64_t>(0, target * 60LL / 100 - 2);
    for (std::int64_t m = estimate; m < estimate + 5; ++m) {
        const QDateTime at = arrival.addSecs(m * 60).toLocalTime();
        const auto ct = Omregn_Til_CT(at.time().hour() * 100 + at.time().minute());
        const std::int32_t shift =
            clockShift({date, *arrivalCT, utcOffsetSeconds}, {at.date(), *ct, at.offsetFromUtc()});
        if (*ct - *arrivalCT + shift >= target) {
            return at;
        }
    }
    return arrival.addSecs(estimate * 60 + 120).toLocalTime();
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
    return clockHours(dailyCT(arbejdstimer)) +
           QStringLiteral(" arbejdet. Husk at registrere gå-tid, når du går.");
}

}  // namespace horalog
