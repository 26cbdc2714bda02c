// Errors that end the program after a message.
#include "app/flex_form.h"
#include "journal/file_messages.h"

namespace horalog {

void Flex_Form::unhandledError(const QString& heading, const QString& description) {
    platform_.tell(
        this, notice(QStringLiteral("Horalog"), heading + QStringLiteral("\r\n\r\n") + description,
                     MessageIcon::Critical));
    platform_.endProgram(1);
}

void Flex_Form::fileError(const QString& firstLine, const QString& error, LastLineGap gap) {
    platform_.tell(this, fileErrorMessage(firstLine, Filnavn, error, gap));
    platform_.endProgram(1);
}

QString nothingChanged(const QString& refusal) {
    return refusal + QStringLiteral("\r\n\r\nIntet er ændret.");
}

void Flex_Form::refuse(const QString& text) {
    warn(nothingChanged(text));
}

void Flex_Form::warn(const QString& text) {
    platform_.tell(this, notice(QStringLiteral("Horalog"), text, MessageIcon::Exclamation));
}

}  // namespace horalog
