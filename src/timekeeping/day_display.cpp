// The running display of today, the clock tick and the balance labels.
#include <QLabel>
#include <QLineEdit>
#include <QSystemTrayIcon>
#include <QTimer>

#include "app/flex_form.h"
#include "app/value_field.h"
#include "timekeeping/time_text.h"

namespace horalog {

void Flex_Form::Opdater_Visning(const QString& text) {
    const auto net = workedSoFar(Komme_CT, text, Dato_Laengde, lunch());
    if (!net) {
        clearToday();  // a time no clock can show
        return;
    }
    showValue(Idag_CT, ctText(*net));
    showValue(Idag_TM, Formater_Tid(Omregn_Til_Tid(*net)) + QLatin1Char(' '));
    setCaption(QStringLiteral("Horalogs registrering - ") + Idag_CT->text());
    if (Tray_Icon != nullptr) {
        Tray_Icon->setToolTip(Tray_Data.tip);
    }
}

void Flex_Form::Udregn_Timer_Timer() {
    Status_Label->clear();
    if (!Komme_Registreret) {
        return;
    }
    if (Gaa_Text->text().isEmpty() || Gaa_Auto) {
        Gaa_Text->setText(nowText());
        Gaa_Text->selectAll();
        Gaa_Auto = true;  // after the write, whose change handler cleared it
    }
    Opdater_Visning(Gaa_Text->text());
}

void Flex_Form::clearToday() {
    Idag_CT->clear();
    Idag_TM->clear();
    setCaption(QStringLiteral("Horalogs registrering"));
}

// Stopping and starting gives the status text a full interval. Pending events are not run
// here: a second click would re-enter a handler on half-changed state.
void Flex_Form::restartTimer() {
    Udregn_Timer->stop();
    Udregn_Timer->start();
}

void Flex_Form::showBalances() {
    showValue(Total_CT, ctText(Flex_Total));
    showValue(Periode_CT, ctText(Periode_Sum));
    showValue(Periode_Diff, ctText(periodSurplus(figures(), Arbejdstimer)));
}

}  // namespace horalog
