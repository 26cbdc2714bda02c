// The arrival and departure fields and the one button: an arrival opens the day, a departure
// closes it.
#include <QLabel>
#include <QLineEdit>

#include "app/flex_form.h"
#include "journal/record.h"
#include "text/number_text.h"
#include "text/time_text.h"

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
    if (leavingClearsToday(Komme_Registreret, Gaa_Text->text())) {
        clearToday();
    } else {
        Opdater_Visning(Gaa_Text->text());
    }
    restartTimer();
}

void Flex_Form::Registrer_Command_Click() {
    if (!Gaa_Text->text().isEmpty() && Komme_Registreret) {
        registerDeparture();
    } else {
        registerArrival();
    }
}

std::optional<TypedTime> Flex_Form::typedTime(const QString& text) {
    const auto typed = readTypedTime(text, Dato_Laengde);
    if (!typed) {
        refuse(tooLargeRefusal(QStringLiteral("Tiden"), text));
    }
    return typed;
}

void Flex_Form::registerArrival() {
    if (Komme_Registreret &&
        platform_.messageBox(this,
                             QStringLiteral("Skal det allerede registreret komme-tidspunkt\r\n"
                                            "erstattes af den angivne tid ?"),
                             QStringLiteral("Registrer komme-tid"), MessageIcon::Question,
                             MessageButtons::YesNo, MessageAnswer::Yes) != MessageAnswer::Yes) {
        return;
    }
    const auto arrival = typedTime(Komme_Text->text());
    if (!arrival) {
        return;
    }
    Komme_Text->setText(Formater_Tid(arrival->hhmm));
    Komme_CT = arrival->ct;
    arrivalDate_ = platform_.currentDateTime().date();
    setKommeColour(true);
    writeSetting(QStringLiteral("Moedt"),
                 storedArrivalText(dateTimeText(), Dato_Laengde, Komme_CT));
    Gaa_Text->setFocus();
    Status_Label->setText(arrivalStatus(*arrival));
    restartTimer();
    Komme_Registreret = true;
    clearToday();
}

// The open day as the shared store holds it now: another copy of the program (on another machine
// over the same home) may have closed it, or registered another arrival, since this one read it.
bool Flex_Form::arrivalStillOpen() {
    const QDate today = platform_.currentDateTime().date();
    const OpenDayDecision open =
        decideOpenDay(storedArrival(), today, platform_.shortDatePattern());
    const auto arrival = readTypedTime(open.timeText, Dato_Laengde);
    if (open.kind == OpenDayDecision::Kind::None || !arrival) {
        refuse(dayClosedElsewhere());
        dropOpenDay();
        Laes_Registrering();  // the figures that the other copy's record left
        showBalances();
        return false;
    }
    if (open.date.isValid()) {
        arrivalDate_ = open.date;
    }
    Komme_CT = arrival->ct;
    Komme_Text->setText(Formater_Tid(arrival->hhmm));
    return true;
}

void Flex_Form::registerDeparture() {
    const auto departure = typedTime(Gaa_Text->text());
    if (!departure || !arrivalStillOpen()) {
        return;
    }
    Gaa_CT = departure->ct;
    const auto day = Gem_Registrering();
    if (!day) {
        return;
    }
    // Only now that the record is on disk is the open day forgotten.
    writeSetting(QStringLiteral("Moedt"), QStringLiteral(" "));
    Komme_Text->clear();
    setKommeColour(false);
    Gaa_Text->clear();
    Status_Label->setText(day->reread ? fileChangedNotice() : departureStatus(day->worked));
    restartTimer();
    Komme_Registreret = false;
    clearToday();
}

}  // namespace horalog
