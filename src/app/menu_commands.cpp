// The menu commands: time off, the period reset, daily hours, lunch and About.
#include <QAction>
#include <QLabel>
#include <QLineEdit>
#include <utility>

#include "adjust/adjust.h"
#include "app/flex_form.h"
#include "app/overview_dialog.h"
#include "journal/file_messages.h"
#include "journal/journal_file.h"
#include "text/number_text.h"
#include "version.h"

namespace horalog {

// An amount of hours asked for: the answer when it is one, after the refusal when it cannot be
// used; nothing for Annuller and what is nothing to do. `typed` gets the answer as typed.
std::optional<HoursAnswer> Flex_Form::askHours(const InputRequest& request, const QString& what,
                                               bool ignoreBelowZero, QString* typed) {
    const QString answer = platform_.ask(this, request);
    if (typed != nullptr) {
        *typed = answer;
    }
    const auto hours = readHoursAnswer(answer, what, ignoreBelowZero);
    if (!hours.ok()) {
        refuse(hours.error());
        return std::nullopt;
    }
    return *hours;
}

void Flex_Form::Afspadsering_Menu_Click() {
    followBeforeCommand();
    const QChar separator = platform_.decimalSeparator();
    // What was typed last time, when the file was locked then and nothing was booked.
    const auto typed = std::exchange(unbookedTimeOff_, std::nullopt);
    const QString typedHours = typed ? typed->first : localeNumberText(kTimeOffProposal, separator);
    const QString typedComment = typed ? typed->second : timeOffCommentProposal();
    QString hoursText;
    const auto hours = askHours(timeOffQuestion(typedHours), timeOffSubject(), false, &hoursText);
    if (!hours) {
        return;
    }
    const QString comment = platform_.ask(this, timeOffCommentQuestion(typedComment));
    if (!book([&](const Figures& before) {
            return bookTimeOff(before, hours->hours, comment, hours->text, currentDateText(),
                               separator);
        })) {
        unbookedTimeOff_ = {hoursText, comment};
    }
}

void Flex_Form::Nulstil_Menu_Click() {
    followBeforeCommand();
    if (platform_.ask(this, periodResetQuestion()) != MessageAnswer::Yes) {
        return;
    }
    book([this](const Figures& before) { return resetPeriod(before, currentDateText()); });
}

// The new figures, their record on disk (or the end of the program), and what the user sees;
// false when the file could not be had and nothing was written.
bool Flex_Form::book(const std::function<Result<Adjustment>(const Figures&)>& adjust) {
    std::optional<Result<Adjustment>> booked;
    const AppendOutcome done = append(
        [&](const Figures& before) -> std::optional<NewRecords> {
            booked = adjust(before);
            if (!booked->ok()) {
                return std::nullopt;
            }
            return NewRecords{{(*booked)->record}, (*booked)->after};
        },
        LastLineGap::BlankLine);
    if (done == AppendOutcome::Refused) {
        refuse(booked->error());
        return true;
    }
    if (done != AppendOutcome::Written && done != AppendOutcome::WrittenOnFiguresReadAgain) {
        return false;
    }
    Status_Label->setText(done == AppendOutcome::WrittenOnFiguresReadAgain ? fileChangedNotice()
                                                                           : (*booked)->status);
    restartTimer();
    return true;
}

void Flex_Form::Arbejds_Menu_Click() {
    followBeforeCommand();
    const QChar separator = platform_.decimalSeparator();
    const auto hours = askHours(dailyHoursQuestion(localeNumberText(Arbejdstimer, separator)),
                                dailyHoursSubject(), true);
    if (!hours) {
        return;
    }
    if (!storeSetting(Setting::Arbejdstimer, storedHours(static_cast<float>(hours->hours)))) {
        return;
    }
    Arbejdstimer = static_cast<float>(hours->hours);
    // After a change the entry reads «(7.5)», without the « timer» that the start-up's caption
    // has (hoursMenuCaption): users know the entry in both forms, so both stay.
    Arbejds_Menu->setText(changedHoursMenuCaption(Arbejdstimer));
    Status_Label->setText(dailyHoursChanged(Arbejdstimer, separator));
    restartTimer();
}

// A window of its own beside this one: the clock goes on while the file is read and looked at.
void Flex_Form::Oversigt_Menu_Click() {
    followBeforeCommand();
    if (oversigt_ == nullptr) {
        oversigt_ = new Oversigt_Dialog(platform_, Filnavn, Arbejdstimer,
                                        platform_.currentDateTime().date(), this);
    }
    oversigt_->show();
    oversigt_->raise();
    oversigt_->activateWindow();
}

void Flex_Form::Frokost_Menu_Click() {
    followBeforeCommand();
    Frokost_Aktiv = !Frokost_Menu->isChecked();
    Frokost_Menu->setChecked(Frokost_Aktiv);
    if (Komme_Registreret()) {
        showTodaySoFar();
    }
}

void Flex_Form::Om_Menu_Click() {
    platform_.tell(this, aboutMessage(QLatin1String(kVersion)));
}

}  // namespace horalog
