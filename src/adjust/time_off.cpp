// Hours taken off in lieu.
#include <QLabel>
#include <cmath>

#include "app/flex_form.h"
#include "journal/journal_file.h"
#include "journal/record.h"
#include "journal/windows1252.h"
#include "settings/number_text.h"

namespace horalog {

void Flex_Form::Afspadsering_Menu_Click() {
    const QChar separator = platform_.decimalSeparator();
    QString answer = platform_.inputBox(
        this,
        QStringLiteral(
            "Angiv antal timer afspadseret:\r\n(Der fratrækkes ikke automatisk frokost og pauser)"),
        QStringLiteral("Afspadsering"), localeNumberText(7.4f, separator));
    answer.replace(QLatin1Char(','), QLatin1Char('.'));
    if (answer.isEmpty()) {
        return;
    }
    if (const auto number = readNumber(answer); number && *number == 0.0) {
        return;
    }
    const auto hours = readHours(answer);
    if (!hours) {
        refuseTooLarge(QStringLiteral("Afspadseringen"), answer);
        return;
    }
    QString comment = platform_.inputBox(
        this,
        QStringLiteral(
            "Indtast evt. bemærkning til afspadsering:\r\n(Blot en husktekst eller kommentar)"),
        QStringLiteral("Afspadsering"), QStringLiteral("afspadsering"));
    // A line break would split the record in two.
    comment.replace(QLatin1Char('\r'), QLatin1Char(' '));
    comment.replace(QLatin1Char('\n'), QLatin1Char(' '));
    if (const QString missing = notInWindows1252(comment); !missing.isEmpty()) {
        refuse(QStringLiteral("Bemærkningen \"%1\" kan ikke gemmes, fordi filen ikke kan rumme "
                              "tegnene \"%2\".")
                   .arg(comment, missing));
        return;
    }

    const auto amount = static_cast<float>(*hours * 100.0);
    const auto after = takeTimeOff(figures(), amount);
    if (!after) {
        refuse(QStringLiteral(
                   "Afspadseringen \"%1\" kan ikke anvendes, fordi saldoen bliver for stor.")
                   .arg(answer));
        return;
    }
    setFigures(*after);
    const FileOutcome written = appendLines(
        Filnavn,
        {timeOffRecord(currentDateText(), *after, localeNumberText(-amount, separator), comment)});
    if (!written.ok) {
        fileError(QStringLiteral("Fejl under skrivning til filen: "), written.error, true);
    }
    showBalances();
    Status_Label->setText(QStringLiteral("Afspadsering af ") + localeNumberText(amount, separator) +
                          QStringLiteral(" ct tilføjet"));
    restartTimer();
}

}  // namespace horalog
