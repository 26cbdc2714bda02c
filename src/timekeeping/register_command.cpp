// The one button: an arrival opens the day, a departure closes it.
#include <QLabel>
#include <QLineEdit>

#include "app/flex_form.h"
#include "timekeeping/time_text.h"

namespace horalog {

void Flex_Form::Registrer_Command_Click() {
    if (!Gaa_Text->text().isEmpty() && Komme_Registreret) {
        registerDeparture();
    } else {
        registerArrival();
    }
}

std::optional<std::int32_t> Flex_Form::typedTime(const QString& text) {
    const auto hhmm = Tekst_Til_Tid(text, Dato_Laengde);
    if (!hhmm || !Omregn_Til_CT(*hhmm)) {
        refuseTooLarge(QStringLiteral("Tiden"), text);
        return std::nullopt;
    }
    return hhmm;
}

void Flex_Form::registerArrival() {
    if (Komme_Registreret) {
        const MessageAnswer answer = platform_.messageBox(
            this,
            QStringLiteral(
                "Skal det allerede registreret komme-tidspunkt\r\nerstattes af den angivne tid ?"),
            QStringLiteral("Registrer komme-tid"), MessageIcon::Question, MessageButtons::YesNo,
            MessageAnswer::Yes);
        if (answer != MessageAnswer::Yes) {
            return;
        }
    }
    const auto hhmm = typedTime(Komme_Text->text());
    if (!hhmm) {
        return;
    }
    Komme_Text->setText(Formater_Tid(*hhmm));
    Komme_CT = *Omregn_Til_CT(*hhmm);
    setKommeColour(true);
    writeSetting(QStringLiteral("Moedt"),
                 dateTimeText().left(Dato_Laengde + 1) + Formater_Tid(Omregn_Til_Tid(Komme_CT)));
    Gaa_Text->setFocus();
    Status_Label->setText(QStringLiteral("Komme tidspunkt ") + Komme_Text->text() +
                          QStringLiteral(" (") + QString::number(Komme_CT) +
                          QStringLiteral(" ct) registreret"));
    restartTimer();
    Komme_Registreret = true;
    clearToday();
}

void Flex_Form::registerDeparture() {
    const auto hhmm = typedTime(Gaa_Text->text());
    if (!hhmm) {
        return;
    }
    Gaa_CT = *Omregn_Til_CT(*hhmm);
    if (!Gem_Registrering()) {
        return;
    }
    // Only now that the record is on disk is the open day forgotten.
    writeSetting(QStringLiteral("Moedt"), QStringLiteral(" "));
    Komme_Text->clear();
    setKommeColour(false);
    Gaa_Text->clear();
    const std::int16_t worked = dayWorkedTime(Komme_CT, Gaa_CT, lunch()).value_or(0);
    Status_Label->setText(QStringLiteral("Arbejdstid idag: ") +
                          Formater_Tid(Omregn_Til_Tid(worked)) + QStringLiteral("  (") +
                          QString::number(worked) + QStringLiteral(" ct)"));
    restartTimer();
    Komme_Registreret = false;
    clearToday();
}

}  // namespace horalog
