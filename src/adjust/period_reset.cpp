// Closing a flex period: the period starts again, the balance carries over.
#include <QLabel>

#include "app/flex_form.h"
#include "app/value_field.h"
#include "journal/journal_file.h"
#include "journal/record.h"
#include "timekeeping/time_text.h"

namespace horalog {

void Flex_Form::Nulstil_Menu_Click() {
    const MessageAnswer answer = platform_.messageBox(
        this, QStringLiteral("Skal denne periode afsluttes,\r\nog totalen nulstilles ?"),
        QStringLiteral("Nulstil periode"), MessageIcon::Question, MessageButtons::YesNo,
        MessageAnswer::Yes);
    if (answer != MessageAnswer::Yes) {
        return;
    }
    Periode_Sum = 0;
    Periode_Dage = 0;
    const FileOutcome written = appendLines(Filnavn, {resetRecord(currentDateText(), Flex_Total)});
    if (!written.ok) {
        fileError(QStringLiteral("Fejl under skrivning til filen: "), written.error, true);
    }
    showValue(Periode_CT, ctText(Periode_Sum));
    showValue(Periode_Diff, Periode_CT->text());
    Status_Label->setText(QStringLiteral("Flexperiode nulstillet"));
    restartTimer();
}

}  // namespace horalog
