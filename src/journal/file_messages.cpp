#include "journal/file_messages.h"

#include "journal/journal_file.h"
#include "text/number_text.h"

namespace horalog {

Message fileErrorMessage(const QString& firstLine, const QString& path, const QString& error,
                         LastLineGap gap) {
    return notice(
        QStringLiteral("Fejl under oprettelse af fil"),
        firstLine + path + QStringLiteral("\r\nFejl: ") + error +
            (gap == LastLineGap::BlankLine ? QStringLiteral("\r\n\r\n") : QStringLiteral("\r\n")) +
            QStringLiteral("Programmet kan ikke fortsætte før fejlen er rettet."),
        MessageIcon::Exclamation);
}

QString creatingFailed() {
    return QStringLiteral("Fejl under oprettelse af filen: ");
}

QString fileChangedNotice() {
    return QStringLiteral(
        "Registreringsfilen er ændret af et andet program; tallene er læst igen.");
}

Message createdElsewhereNotice(std::int32_t total) {
    return notice(QStringLiteral("Opstart Horalog"),
                  QStringLiteral("Registreringsfilen blev oprettet af et andet Horalog med "
                                 "saldoen %1 ct.")
                      .arg(total));
}

QString writingFailed() {
    return QStringLiteral("Fejl under skrivning til filen: ");
}

InputRequest balanceQuestion() {
    return {QStringLiteral("Opstart Horalog"),
            QStringLiteral("Horalogs-programmet har ikke været anvendt før.\r\nIndtast nuværende "
                           "horalog, eller 0 hvis horalog ikke tidligere har været registreret:"),
            QStringLiteral("0")};
}

QString balanceTooLarge(const QString& answer) {
    return tooLargeRefusal(QStringLiteral("Saldoen"), answer);
}

QString missingFileText(const QString& filnavn) {
    return QStringLiteral("Registreringsfilen ") + filnavn +
           QStringLiteral(
               " findes ikke længere. Den kan være flyttet eller slettet af et andet "
               "program; vælg den under Opsætninger/Filnavn.");
}

QString unusableFileText(const QString& filnavn) {
    return QStringLiteral("Registreringsfilen ") + filnavn + QStringLiteral(" kan ikke bruges: ") +
           notRegularText();
}

}  // namespace horalog
