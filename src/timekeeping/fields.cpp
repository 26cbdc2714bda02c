// The arrival and departure fields.
#include <QLineEdit>

#include "app/flex_form.h"
#include "settings/number_text.h"

namespace horalog {

void Flex_Form::Komme_Text_GotFocus() {
    if (Komme_Text->text().isEmpty()) {
        Komme_Text->setText(nowText());
    }
    Komme_Text->selectAll();
}

void Flex_Form::Gaa_Text_GotFocus() {
    Gaa_Text->selectAll();
}

void Flex_Form::Gaa_Text_Change() {
    Gaa_Auto = false;
    clearToday();
}

void Flex_Form::Gaa_Text_LostFocus() {
    // Not the time reading: «00:30» begins with 0 and clears the figures.
    const auto number = readNumber(Gaa_Text->text());
    if (!Komme_Registreret || (number && *number == 0.0)) {
        clearToday();
    } else {
        Opdater_Visning(Gaa_Text->text());
    }
    restartTimer();
}

}  // namespace horalog
