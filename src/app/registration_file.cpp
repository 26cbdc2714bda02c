// Reading the figures from the registration file, or creating it on first use, and appending
// the record of a closed day.
#include "app/flex_form.h"
#include "journal/journal_file.h"
#include "journal/record.h"
#include "text/number_text.h"

namespace horalog {

void Flex_Form::Laes_Registrering() {
    if (!registrationFileExists(Filnavn)) {
        std::optional<std::int32_t> balance;
        while (!balance) {
            const QString answer = platform_.inputBox(
                this, balanceQuestion(), QStringLiteral("Opstart Horalog"), QStringLiteral("0"));
            balance = readInt32(answer);
            if (!balance) {
                refuse(tooLargeRefusal(QStringLiteral("Saldoen"), answer));
            }
        }
        const FileFigures created = createRegistrationFile(Filnavn, currentDateText(), *balance);
        if (!created.ok) {
            fileError(creatingFailed(), created.error, false);
        }
        setFigures(*created.figures);
        return;
    }
    const FileFigures read = readFileFigures(Filnavn);
    if (!read.ok) {
        fileError(creatingFailed(), read.error, false);
    }
    // A file without a record leaves the figures as they were.
    if (read.figures) {
        setFigures(*read.figures);
    }
}

std::optional<std::int16_t> Flex_Form::Gem_Registrering() {
    const auto day =
        closeDay(figures(), Komme_CT, Gaa_CT, lunch(), Arbejdstimer, clockShiftTo(Gaa_CT));
    if (!day) {
        refuse(dayTooLargeRefusal());
        return std::nullopt;
    }
    setFigures(day->after);
    const FileOutcome written = appendLines(
        Filnavn, {dayRecord(currentDateText(), day->after, Komme_CT, Gaa_CT, day->tid)});
    if (!written.ok) {
        fileError(writingFailed(), written.error, false);
    }
    showBalances();
    return day->tid;
}

}  // namespace horalog
