// Reading the figures from the registration file, or creating it on first use.
#include "app/flex_form.h"
#include "journal/journal_file.h"
#include "journal/record.h"
#include "settings/number_text.h"

namespace horalog {

void Flex_Form::Laes_Registrering() {
    const QString kCreating = QStringLiteral("Fejl under oprettelse af filen: ");
    if (!registrationFileExists(Filnavn)) {
        Flex_Total = 0;
        std::optional<std::int32_t> balance;
        while (!balance) {
            const QString answer = platform_.inputBox(
                this,
                QStringLiteral("Horalogs-programmet har ikke været anvendt før.\r\nIndtast "
                               "nuværende horalog, eller 0 hvis horalog ikke tidligere har været "
                               "registreret:"),
                QStringLiteral("Opstart Horalog"), QStringLiteral("0"));
            balance = readInt32(answer);
            if (!balance) {
                refuseTooLarge(QStringLiteral("Saldoen"), answer);
            }
        }
        Flex_Total = *balance;
        const FileOutcome written =
            appendLines(Filnavn, {headerLine(), openingRecord(currentDateText(), Flex_Total)});
        if (!written.ok) {
            fileError(kCreating, written.error, false);
        }
        Periode_Dage = 0;
        Periode_Sum = 0;
        return;
    }
    const LastRecord last = readLastRecordLine(Filnavn);
    if (!last.outcome.ok) {
        fileError(kCreating, last.outcome.error, false);
    }
    if (!last.line) {
        return;
    }
    Figures read;
    switch (figuresFromLine(*last.line, read)) {
        case LineReading::Read:
            setFigures(read);
            break;
        case LineReading::OutOfRange:
            fileError(kCreating,
                      QStringLiteral("Den sidste registrering har et tal, der er for stort: ") +
                          last.line->left(100),
                      false);
        case LineReading::TooFewFields:
            break;
    }
}

}  // namespace horalog
