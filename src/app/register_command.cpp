// The arrival and departure fields and the one button: an arrival opens the day, a departure
// closes it.
#include <QFileInfo>
#include <QLabel>
#include <QLineEdit>

#include "app/flex_form.h"
#include "journal/file_messages.h"
#include "journal/journal_file.h"
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
    if (leavingClearsToday(Komme_Registreret(), Gaa_Text->text())) {
        clearToday();
    } else {
        Opdater_Visning(Gaa_Text->text());
    }
    restartTimer();
}

void Flex_Form::Registrer_Command_Click() {
    const bool departure = !Gaa_Text->text().isEmpty() && Komme_Registreret();
    const Followed followed = followSharedState();
    if (departure) {
        // An arrival replaced elsewhere is closed as it stands in the store now.
        registerDeparture(followed == Followed::DayClosed);
    } else if (followed == Followed::DayClosed) {
        closeOpenDayHere();
        Status_Label->setText(dayClosedElsewhereStatus());
    } else if (followed == Followed::Nothing) {
        registerArrival();  // an arrival registered elsewhere is shown, not overwritten
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
    if (Komme_Registreret() &&
        platform_.ask(this, replaceArrivalQuestion()) != MessageAnswer::Yes) {
        return;
    }
    const auto arrival = typedTime(Komme_Text->text());
    if (!arrival) {
        return;
    }
    // The file's size first: a record beyond it with this arrival is the day's own. Only a
    // stored arrival is shown as registered.
    const QDateTime now = platform_.currentDateTime();
    if (!storeSetting(Setting::MoedtFilLaengde, QString::number(QFileInfo(Filnavn).size())) ||
        !storeSetting(
            Setting::Moedt,
            StoredArrival::of(now.date(), platform_.shortDatePattern(), arrival->ct).text())) {
        return;
    }
    day_.open(arrival->ct, now.date(), now);
    showArrival(*arrival);
    Gaa_Text->setFocus();
    Status_Label->setText(arrivalStatus(*arrival));
    restartTimer();
    clearToday();
}

// Only once the day's record is on disk is the open day forgotten. A store that cannot be written
// then must not make the user close the day again: the next start sees its record.
void Flex_Form::forgetSavedDay() {
    if (const StoreWrite stored = trySetting(Setting::Moedt, kNoArrival); !stored.ok()) {
        warn(daySavedStoreFailed(stored.error().description));
    }
}

void Flex_Form::registerDeparture(bool dayClosedElsewhere) {
    const auto departure = typedTime(Gaa_Text->text());
    if (!departure) {
        return;
    }
    // A record in the file may close this very arrival already: a copy that saved the day and
    // ended (or lost the store) before it could forget it.
    if (!dayClosedElsewhere &&
        fileClosesArrival(Filnavn, day_.stored(), store().readUserKey().moedtFilLaengde)) {
        forgetSavedDay();
        dayClosedElsewhere = true;
    }
    if (dayClosedElsewhere) {
        refuse(horalog::dayClosedElsewhere());
        closeOpenDayHere();
        return;
    }
    Gaa_CT = departure->ct;
    const auto day = Gem_Registrering();
    if (!day) {
        return;
    }
    forgetSavedDay();
    Komme_Text->clear();
    setKommeColour(false);
    Gaa_Text->clear();
    Status_Label->setText(day->reread ? fileChangedNotice() : departureStatus(day->worked));
    restartTimer();
    day_.close();
    clearToday();
}

}  // namespace horalog
