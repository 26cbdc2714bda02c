#include "timekeeping/today.h"

#include <cmath>

#include "text/number_text.h"
#include "text/time_text.h"
#include "timekeeping/open_day.h"
#include "timekeeping/working_day.h"

namespace horalog {

QString plainCaption() {
    return QStringLiteral("Horalogs registrering");
}

std::optional<TodayTexts> todayTexts(std::int32_t kommeCT, const QString& text, int datoLaengde,
                                     const LunchRule& lunch, std::int32_t shift) {
    const auto net = workedSoFar(kommeCT, text, datoLaengde, lunch, shift);
    if (!net) {
        return std::nullopt;
    }
    TodayTexts t;
    t.ct = ctText(*net);
    t.tm = Formater_Tid(Omregn_Til_Tid(*net)) + QLatin1Char(' ');
    t.caption = plainCaption() + QStringLiteral(" - ") + t.ct;
    return t;
}

BalanceTexts balanceTexts(const Figures& figures, float arbejdstimer) {
    return {ctText(figures.total), ctText(figures.sum),
            ctText(periodSurplus(figures, arbejdstimer))};
}

DatePattern checkDatePattern(const QString& pattern) {
    DatePattern p;
    p.length = static_cast<std::int16_t>(std::min<qsizetype>(pattern.length(), 32767));
    p.shown = pattern;
    p.shown.replace(QChar(u'å'), QLatin1Char('y'));
    p.shown.replace(QChar(u'Å'), QLatin1Char('y'));
    p.accepted = p.shown.left(2).compare(QStringLiteral("dd"), Qt::CaseInsensitive) == 0 &&
                 p.shown.right(2).compare(QStringLiteral("yy"), Qt::CaseInsensitive) == 0;
    return p;
}

QString datePatternRefusal(const QString& shown) {
#ifdef _WIN32
    const QString where = QStringLiteral("Rettes via kontrol panelet og regionale indstillinger.");
#else
    // A Linux desktop has no such panel: the format comes from LC_TIME.
    const QString where = QStringLiteral(
        "Rettes ved at sætte LC_TIME til en dansk sprogindstilling, f.eks. LC_TIME=da_DK.UTF-8.");
#endif
    return QStringLiteral("Ulovlig dato-format: ") + shown +
           QStringLiteral(
               "\r\nDer skal anvendes dansk notation med dagen først og årstallet sidst."
               "\r\n(dd-mm-yy eller dd-mm-yyyy)\r\n") +
           where;
}

QString dateTimeText(const QDate& date, const QString& pattern, const QString& timeWithSeconds) {
    return date.toString(qtDatePattern(pattern)) + QLatin1Char(' ') + timeWithSeconds;
}

QString proposedArrival(const QTime& now, std::int64_t uptimeMs) {
    const double seconds = now.hour() * 3600.0 + now.minute() * 60.0 + now.second();
    const double up = static_cast<double>(uptimeMs) / 1000.0;
    const auto start = static_cast<int>(up <= seconds ? std::nearbyint(seconds - up) : 0.0);
    return QStringLiteral("%1:%2")
        .arg(start / 3600, 2, 10, QLatin1Char('0'))
        .arg((start % 3600) / 60, 2, 10, QLatin1Char('0'));
}

QString otherDayQuestion(const QString& stored) {
    const qsizetype blank = stored.indexOf(QLatin1Char(' '));
    const QString date = blank < 0 ? stored : stored.left(blank);
    const QString time = blank < 0 ? QString() : stored.mid(blank + 1);
    return QStringLiteral("Der er registreret et komme-tidspunkt for en anden dag.\r\nDato: ") +
           date + QStringLiteral("  Tid: ") + time +
           QStringLiteral("\r\n\r\nSkal denne registrering anvendes ?");
}

std::optional<TypedTime> readTypedTime(const QString& text, int datoLaengde) {
    const auto hhmm = Tekst_Til_Tid(text, datoLaengde);
    const auto ct = hhmm ? Omregn_Til_CT(*hhmm) : std::nullopt;
    if (!ct) {
        return std::nullopt;
    }
    return TypedTime{*hhmm, *ct};
}

QString arrivalStatus(const TypedTime& arrival) {
    return QStringLiteral("Komme tidspunkt ") + Formater_Tid(arrival.hhmm) + QStringLiteral(" (") +
           QString::number(arrival.ct) + QStringLiteral(" ct) registreret");
}

QString storedArrivalText(const QString& dateTimeText, int datoLaengde, std::int32_t kommeCT) {
    return dateTimeText.left(datoLaengde + 1) + Formater_Tid(Omregn_Til_Tid(kommeCT));
}

QString departureStatus(std::int16_t worked) {
    return QStringLiteral("Arbejdstid idag: ") + Formater_Tid(Omregn_Til_Tid(worked)) +
           QStringLiteral("  (") + QString::number(worked) + QStringLiteral(" ct)");
}

QString dayTooLargeRefusal() {
    return QStringLiteral(
        "Dagen kan ikke registreres, fordi arbejdstiden eller saldoen bliver større, end filen "
        "kan rumme.");
}

QString dayClosedElsewhere() {
    return QStringLiteral(
        "Dagen er allerede afsluttet af et andet Horalog, så gå-tiden registreres ikke.");
}

QString arrivalTakenOver(const QString& kommeText) {
    return QStringLiteral("Komme tidspunkt ") + kommeText +
           QStringLiteral(" er registreret i et andet Horalog.");
}

QString dayClosedElsewhereStatus() {
    return QStringLiteral("Dagen er afsluttet i et andet Horalog; tallene er læst igen.");
}

QString settingsChangedElsewhere() {
    return QStringLiteral("Opsætningerne er ændret i et andet Horalog og gælder nu også her.");
}

QString daySavedStoreFailed(const QString& error) {
    return QStringLiteral(
               "Dagen er gemt i registreringsfilen, men Horalogs indstillinger kunne "
               "ikke skrives:\r\n") +
           error +
           QStringLiteral(
               "\r\n\r\nDagen tælles ikke med igen: næste start ser, at den er "
               "afsluttet. Ret fejlen (f.eks. en fuld disk), før næste komme-tid "
               "registreres.");
}

bool leavingClearsToday(bool kommeRegistreret, const QString& gaaText) {
    const auto number = readNumber(gaaText);
    return !kommeRegistreret || (number && *number == 0.0);
}

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

}  // namespace horalog
