#include "timekeeping/day_messages.h"

#include "text/time_text.h"

namespace horalog {

Message otherDayQuestion(const StoredArrival& stored) {
    return question(
        QStringLiteral("Registreret komme tid"),
        QStringLiteral("Der er registreret et komme-tidspunkt for en anden dag.\r\nDato: ") +
            stored.dateText() + QStringLiteral("  Tid: ") + stored.timeText() +
            QStringLiteral("\r\n\r\nSkal denne registrering anvendes ?"));
}

Message replaceArrivalQuestion() {
    return question(QStringLiteral("Registrer komme-tid"),
                    QStringLiteral("Skal det allerede registreret komme-tidspunkt\r\n"
                                   "erstattes af den angivne tid ?"));
}

QString arrivalStatus(const TypedTime& arrival) {
    return QStringLiteral("Komme tidspunkt ") + Formater_Tid(arrival.hhmm) + QStringLiteral(" (") +
           QString::number(arrival.ct) + QStringLiteral(" ct) registreret");
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

}  // namespace horalog
