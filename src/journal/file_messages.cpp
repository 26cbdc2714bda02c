#include "journal/file_messages.h"

namespace horalog {

QString fileErrorMessage(const QString& firstLine, const QString& path, const QString& error,
                         LastLineGap gap) {
    return firstLine + path + QStringLiteral("\r\nFejl: ") + error +
           (gap == LastLineGap::BlankLine ? QStringLiteral("\r\n\r\n") : QStringLiteral("\r\n")) +
           QStringLiteral("Programmet kan ikke fortsætte før fejlen er rettet.");
}

QString creatingFailed() {
    return QStringLiteral("Fejl under oprettelse af filen: ");
}

QString fileChangedNotice() {
    return QStringLiteral(
        "Registreringsfilen er ændret af et andet program; tallene er læst igen.");
}

QString writingFailed() {
    return QStringLiteral("Fejl under skrivning til filen: ");
}

QString balanceQuestion() {
    return QStringLiteral(
        "Horalogs-programmet har ikke været anvendt før.\r\nIndtast nuværende horalog, eller 0 "
        "hvis horalog ikke tidligere har været registreret:");
}

}  // namespace horalog
