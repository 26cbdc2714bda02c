// The running display of today, the clock tick and the balance labels. A tick renews only what
// changed: most ticks change no text at all.
#include <QLabel>
#include <QLineEdit>
#include <QSignalBlocker>
#include <QTimer>

#include "app/flex_form.h"
#include "app/tray_data.h"
#include "app/value_field.h"

namespace horalog {

void Flex_Form::Opdater_Visning(const QString& text) {
    tickShown_.reset();
    const auto departure = readTypedTime(text, Dato_Laengde);
    const auto today =
        todayTexts(Komme_CT(), text, Dato_Laengde, lunch(),
                   departure ? day_.shiftUntil(departure->ct, platform_.currentDateTime()) : 0);
    if (!today) {
        clearToday();  // a time no clock can show
        return;
    }
    showValue(Idag_CT, today->ct);
    showValue(Idag_TM, today->tm);
    setCaption(today->caption);
}

void Flex_Form::Udregn_Timer_Timer() {
    const QDateTime now = platform_.currentDateTime();
    noteTick(now);
    if (day_.asking() || waitingForLock_) {
        return;  // nothing moves while the question about the open day stands, or a command waits
    }
    if (!Status_Label->text().isEmpty()) {
        Status_Label->clear();
    }
    if (!platform_.dialogOpen()) {
        // Within one tick the window shows what another copy changed.
        if (storeMayHaveMoved() && followSharedState() == Followed::DayClosed) {
            closeOpenDayHere();
            Status_Label->setText(dayClosedElsewhereStatus());
        }
        followFile();
    }
    if (Komme_Registreret() && !day_.onItsDate(now.date())) {
        if (platform_.dialogOpen()) {
            return;  // asked once that dialog is gone; until then the figures wait
        }
        askAboutANewDate();
    }
    if (!Komme_Registreret()) {
        return;
    }
    const TickShown shown{
        now.date().toJulianDay() * 24 * 60 + now.time().hour() * 60 + now.time().minute(),
        Komme_CT(), lunch(), Dato_Laengde};
    if (!Gaa_Auto || tickShown_ != shown) {
        showTodaySoFar();
        if (Gaa_Auto) {
            tickShown_ = shown;
        }
    }
    noticeHoursReached(now);
}

// Today's figures up to the departure typed, or up to now while the field follows the clock (it
// is empty right after an arrival until the first tick fills it).
void Flex_Form::showTodaySoFar() {
    if (Gaa_Text->text().isEmpty() || Gaa_Auto) {
        setGaaText(nowText());
        Gaa_Auto = true;  // the clock filled it in (quietly): the next tick renews it
    }
    Opdater_Visning(Gaa_Text->text());
}

// A new date under an open day (midnight, a wake from sleep, a window left open for days) asks
// the start-up's question, once per date.
void Flex_Form::askAboutANewDate() {
    day_.confirm(platform_.currentDateTime().date());
    const StoredArrival stored = day_.named(storedArrival(), platform_.shortDatePattern());
    day_.setAsking(true);
    const bool keep = keepOtherDaysArrival(stored);
    // "Ja" confirms the date on which it was said, which may be later than the question's.
    day_.confirm(platform_.currentDateTime().date());
    std::optional<ForgottenDay> day;
    if (!keep) {
        day = askForgottenDeparture(stored, lastActive(), day_.arrival().utcOffsetSeconds);
    }
    day_.setAsking(false);
    if (!keep) {
        dropOpenDay();
    }
    if (day) {
        recordForgottenDay(stored, *day);
    }
}

// No day open any more, as a start whose question was answered "Nej" leaves the window.
void Flex_Form::dropOpenDay() {
    day_.close();
    setKommeColour(false);
    Gaa_Text->clear();
    clearToday();
    proposeArrival();
}

// The departure field follows the clock: only a new minute is written. The change handler
// would clear today's figures only for the tick to show them again at once, so it is spared.
void Flex_Form::setGaaText(const QString& text) {
    if (Gaa_Text->text() != text) {
        const QSignalBlocker quiet(Gaa_Text);
        Gaa_Text->setText(text);
    }
    if (Gaa_Text->selectedText() != text) {
        Gaa_Text->selectAll();
    }
}

void Flex_Form::clearToday() {
    tickShown_.reset();
    showValue(Idag_CT, QString());
    showValue(Idag_TM, QString());
    setCaption(plainCaption());
}

// Stopping and starting gives the status text a full interval. Pending events are not run
// here: a second click would re-enter a handler on half-changed state.
void Flex_Form::restartTimer() {
    Udregn_Timer->stop();
    Udregn_Timer->start();
}

void Flex_Form::showBalances() {
    const BalanceTexts texts = balanceTexts(figures(), Arbejdstimer);
    showValue(Total_CT, texts.total);
    showValue(Periode_CT, texts.period);
    showValue(Periode_Diff, texts.diff);
}

void Flex_Form::setCaption(const QString& caption) {
    if (windowTitle() != caption) {
        setWindowTitle(caption);
    }
    Tray->setTip(caption);
}

}  // namespace horalog
