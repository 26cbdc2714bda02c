// The daily hours and the lunch deduction.
#include <QAction>
#include <QLabel>
#include <QLineEdit>
#include <cmath>

#include "app/flex_form.h"
#include "settings/number_text.h"

namespace horalog {

void Flex_Form::Arbejds_Menu_Click() {
    const QChar separator = platform_.decimalSeparator();
    QString answer = platform_.inputBox(this, QStringLiteral("Angiv daglige arbejdstid i timer:"),
                                        QStringLiteral("Daglige arbejdstid"),
                                        localeNumberText(Arbejdstimer, separator));
    answer.replace(QLatin1Char(','), QLatin1Char('.'));
    if (answer.isEmpty()) {
        return;
    }
    if (const auto number = readNumber(answer); number && *number <= 0.0) {
        return;
    }
    const auto hours = readHours(answer);
    if (!hours) {
        refuseTooLarge(QStringLiteral("Arbejdstiden"), answer);
        return;
    }
    Arbejdstimer = static_cast<float>(*hours);
    const QString plain = plainNumberText(Arbejdstimer);
    Arbejds_Menu->setText(QStringLiteral("&Arbejdstid  (") + plain + QLatin1Char(')'));
    writeSetting(QStringLiteral("Arbejdstimer"), plain);
    Status_Label->setText(QStringLiteral("Daglige arbejdstid ændret til ") +
                          localeNumberText(Arbejdstimer, separator));
    restartTimer();
}

void Flex_Form::Frokost_Menu_Click() {
    Frokost_Aktiv = !Frokost_Menu->isChecked();
    Frokost_Menu->setChecked(Frokost_Aktiv);
    if (Komme_Registreret) {
        Opdater_Visning(Gaa_Text->text());
    }
}

}  // namespace horalog
