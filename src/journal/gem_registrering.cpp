// Closing a day into the period and appending its record.
#include "app/flex_form.h"
#include "journal/journal_file.h"
#include "journal/record.h"

namespace horalog {

bool Flex_Form::Gem_Registrering() {
    const auto day = closeDay(figures(), Komme_CT, Gaa_CT, lunch(), Arbejdstimer);
    if (!day) {
        refuse(
            QStringLiteral("Dagen kan ikke registreres, fordi arbejdstiden eller saldoen "
                           "bliver større, end filen kan rumme."));
        return false;
    }
    setFigures(day->after);
    const FileOutcome written = appendLines(
        Filnavn, {dayRecord(currentDateText(), day->after, Komme_CT, Gaa_CT, day->tid)});
    if (!written.ok) {
        fileError(QStringLiteral("Fejl under skrivning til filen: "), written.error, false);
    }
    showBalances();
    return true;
}

}  // namespace horalog
