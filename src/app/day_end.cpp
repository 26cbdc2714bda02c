// When the working day ended: a departure forgotten on an earlier day recorded on that day, the
// moment the program last knew the machine in use (the desktop's lock and sleep, the program's
// end, the last tick before a sleep), and the tray's notice when today's hours are reached.
#include <QLabel>
#include <QLineEdit>

#include "app/flex_form.h"
#include "app/tray_data.h"
#include "text/number_text.h"
#include "text/time_text.h"
#include "timekeeping/working_day.h"

namespace horalog {

namespace {

// Longer than a tick could ever be late: the machine slept in between.
constexpr qint64 kSleepGapSeconds = 120;

}  // namespace

QString Flex_Form::lastActiveText(const QDateTime& at) {
    return horalog::dateTimeText(at.date(), platform_.shortDatePattern(),
                                 Formater_Tid(at.time().hour() * 100 + at.time().minute()));
}

// A tick on a new date long after the one before it: the machine slept in between, and was last
// known in use at that one. (A sleep within the day says nothing of when the day ended.)
void Flex_Form::noteTick(const QDateTime& now) {
    if (lastTick_.isValid() && lastTick_.date() != now.date() &&
        lastTick_.secsTo(now) > kSleepGapSeconds) {
        sleptAt_ = lastTick_;
    }
    lastTick_ = now;
}

// A lock or a sleep while a day is open is kept as the day's end, and an unlock on its own date
// forgets it again (a lunch-time lock): the next start proposes it even when the program never
// ended. Back after more than the lunch, the user is told how long the day's gap was.
void Flex_Form::desktopEvent(DesktopEvent event) {
    const QDateTime now = platform_.currentDateTime();
    const std::optional<QDateTime> before = day_.lastSeen();
    const std::optional<AwayStretch> ended = day_.desktop(event, now);
    if (!Komme_Registreret()) {
        return;
    }
    if (day_.lastSeen() != before) {
        // A hint only, as at the program's end.
        (void)trySetting(Setting::SidstAktiv,
                         day_.lastSeen() ? lastActiveText(*day_.lastSeen()) : QString());
    }
    const std::optional<QString> notice =
        ended ? awayNotice(*ended, FrokostVarighed) : std::nullopt;
    if (notice && Tray->inTray()) {
        Tray->notify(awayTitle(), *notice);
    } else if (notice) {
        Status_Label->setText(*notice);
    }
}

// The moments this program knew the machine in use: the start of the last stretch away the
// desktop told of; else when the program last ended with a day open, and the last tick before
// a sleep.
QStringList Flex_Form::lastActive() {
    if (day_.lastSeen()) {
        return {lastActiveText(*day_.lastSeen())};
    }
    QStringList known;
    if (const auto ended = store().readUserKey().sidstAktiv) {
        known << *ended;
    }
    if (sleptAt_.isValid()) {
        known << lastActiveText(sleptAt_);
    }
    return known;
}

// After "Nej" to an arrival from another day: that day's record, or nothing when the user skips
// the day (Annuller, Escape, the close button), which forgets the stored arrival as the box says.
std::optional<ForgottenDay> Flex_Form::askForgottenDeparture(
    const StoredArrival& stored, const QStringList& lastActive,
    std::optional<std::int32_t> arrivalOffset) {
    if (!stored.time()) {
        return std::nullopt;  // an arrival no clock can show has no departure to ask for
    }
    QString answer = forgottenDepartureDefault(stored, lastActive);
    for (;;) {
        const auto typed = platform_.input(this, forgottenDepartureQuestion(stored, answer));
        if (!typed) {
            if (storedArrival() == stored) {  // not one that another copy registered since
                writeSetting(Setting::Moedt, kNoArrival);
            }
            return std::nullopt;
        }
        answer = *typed;
        const auto day = forgottenDay(stored, answer, platform_.shortDatePattern(), arrivalOffset,
                                      platform_.currentDateTime());
        if (day.ok()) {
            return *day;
        }
        warn(day.error());
    }
}

// The forgotten day's record, unless another copy of the program dealt with that day while the
// question stood.
void Flex_Form::recordForgottenDay(const StoredArrival& stored, const ForgottenDay& day) {
    if (storedArrival() != stored ||
        fileClosesArrival(Filnavn, stored, store().readUserKey().moedtFilLaengde)) {
        rereadFigures();
        Status_Label->setText(dayClosedElsewhereStatus());
        return;
    }
    const auto recorded = appendDay(day.date, day.kommeCT, day.gaaCT, day.shift);
    if (!recorded) {
        return;
    }
    forgetSavedDay();
    Status_Label->setText(recorded->reread ? fileChangedNotice()
                                           : forgottenDayStatus(day.date, recorded->worked));
    restartTimer();
}

// Kept for the next start's question about a forgotten departure; a hint only, so a store that
// cannot be written does not keep the program from ending.
void Flex_Form::rememberLastActive() {
    if (!Komme_Registreret()) {
        return;
    }
    (void)trySetting(Setting::SidstAktiv,
                     lastActiveText(day_.lastSeen().value_or(platform_.currentDateTime())));
}

// Once a day, while the window sits in the tray, once the open day's hours are reached: also
// when they were reached while it was shown.
void Flex_Form::noticeHoursReached(const QDateTime& now) {
    if (!Komme_Registreret() || hoursNoticeDate_ == now.date() || !Tray->inTray()) {
        return;
    }
    const auto reached = day_.hoursReached(now, Arbejdstimer, lunch());
    if (!reached || now < *reached) {
        return;
    }
    hoursNoticeDate_ = now.date();
    Tray->notify(hoursReachedTitle(), hoursReachedText(Arbejdstimer));
}

}  // namespace horalog
