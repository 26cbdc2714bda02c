#include "timekeeping/working_day.h"

#include <QRegularExpression>
#include <QTimeZone>
#include <algorithm>
#include <cmath>

#include "text/time_text.h"
#include "timekeeping/date_pattern.h"
#include "timekeeping/open_day.h"

namespace horalog {

namespace {

// A time of day «16:42» as hhmm; nothing when it is none.
std::optional<std::int32_t> clockTime(const QString& text) {
    const auto hhmm = Tekst_Til_Tid(text.left(5), 0);
    if (!hhmm || *hhmm >= 2400 || *hhmm % 100 >= 60) {
        return std::nullopt;
    }
    return hhmm;
}

}  // namespace

InputRequest forgottenDepartureQuestion(const StoredArrival& stored, const QString& proposal) {
    return {QStringLiteral("Glemt gå-tid"),
            QStringLiteral("Gå-tiden for %1 blev ikke registreret (mødt %2).\r\n\r\n"
                           "Angiv gå-tiden for den dag, så dagen kommer med i flex-saldoen.\r\n"
                           "Annuller springer dagen over.")
                .arg(stored.dateText(), stored.timeText()),
            proposal};
}

QString forgottenDepartureDefault(const StoredArrival& stored, const QStringList& lastActive) {
    const auto from = clockTime(stored.timeText());
    std::optional<std::int32_t> latest;
    for (const QString& text : lastActive) {
        const StoredArrival moment(text);
        const auto at = clockTime(moment.timeText());
        if (from && at && moment.dateText() == stored.dateText() && *at > *from &&
            (!latest || *at > *latest)) {
            latest = at;
        }
    }
    return latest ? Formater_Tid(*latest) : QString();
}

QString forgottenDayStatus(const QString& dateText, std::int16_t worked) {
    return QStringLiteral("Arbejdstid ") + dateText + QStringLiteral(": ") +
           Formater_Tid(Omregn_Til_Tid(worked)) + QStringLiteral("  (") + QString::number(worked) +
           QStringLiteral(" ct)");
}

namespace {

constexpr std::int32_t kLongestNightCT = 1600;
constexpr std::int32_t kDayCT = 2400;

QString departureBeforeArrival(std::int32_t gaaCT, std::int32_t kommeCT) {
    return QStringLiteral("Gå-tiden %1 ligger før komme-tiden %2.")
        .arg(Formater_Tid(Omregn_Til_Tid(gaaCT)), Formater_Tid(Omregn_Til_Tid(kommeCT)));
}

}  // namespace

Result<ForgottenDay> forgottenDay(const StoredArrival& stored, const QString& typed,
                                  const QString& pattern, std::optional<std::int32_t> arrivalOffset,
                                  const QDateTime& now) {
    using Answer = Result<ForgottenDay>;
    if (typed.trimmed().isEmpty()) {
        return Answer::failed(
            QStringLiteral("Skriv gå-tiden, eller vælg Annuller for at springe dagen over."));
    }
    // The forms the arrival field takes; a lone "8" or "25:00" is no clock time here, where a
    // slip would record a day of hours.
    static const QRegularExpression clock(QStringLiteral("^\\s*(\\d{1,2})[:.]?(\\d\\d)\\s*$"));
    const QRegularExpressionMatch m = clock.match(typed);
    const int hours = m.hasMatch() ? m.captured(1).toInt() : 24;
    const int minutes = m.hasMatch() ? m.captured(2).toInt() : 60;
    const QDate arrivalDate = stored.date(pattern);
    const auto arrival = stored.time();
    if (hours > 23 || minutes > 59 || !arrival) {
        return Answer::failed(QStringLiteral("\"%1\" er ikke et klokkeslæt.").arg(typed));
    }
    const std::int32_t gaaCT = *Omregn_Til_CT(hours * 100 + minutes);
    const bool night = gaaCT <= arrival->ct;
    const QDate date = night ? arrivalDate.addDays(1) : arrivalDate;
    const Moment from{arrivalDate, arrival->ct,
                      arrivalOffset.value_or(utcOffsetAt(arrivalDate, arrival->ct, now))};
    const std::int32_t shift = night && !date.isValid()
                                   ? 0
                                   : clockShift(from, {date, gaaCT, utcOffsetAt(date, gaaCT, now)});
    // A night needs the arrival's date; the arrival's own time again is a whole day.
    if (night && (shift == 0 || gaaCT - arrival->ct + shift > kLongestNightCT)) {
        return Answer::failed(departureBeforeArrival(gaaCT, arrival->ct));
    }
    return ForgottenDay{
        night ? dateTimeText(date, pattern, QString()).left(pattern.length()) : stored.dateText(),
        arrival->ct, gaaCT, shift};
}

std::optional<QString> departureRefusal(std::int32_t kommeCT, std::int32_t gaaCT,
                                        std::int32_t shift) {
    const std::int64_t gross = std::int64_t{gaaCT} - kommeCT + shift;
    if (gross < 0) {
        return departureBeforeArrival(gaaCT, kommeCT);
    }
    if (gross > kDayCT) {
        return QStringLiteral("Gå-tiden %1 ligger mere end et døgn efter komme-tiden %2.")
            .arg(Formater_Tid(Omregn_Til_Tid(gaaCT)), Formater_Tid(Omregn_Til_Tid(kommeCT)));
    }
    return std::nullopt;
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
