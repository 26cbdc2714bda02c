// The store and the registration file are shared by every copy of the program the user runs (a
// desk PC and a laptop over one home). Before a command acts, and at each tick, the window takes
// over what another copy changed, so it never acts on, or writes back, what it read earlier.
#include <QAction>
#include <QLabel>
#include <QLineEdit>

#include "app/flex_form.h"
#include "journal/journal_file.h"
#include "text/time_text.h"

namespace horalog {

Flex_Form::Followed Flex_Form::followSharedState() {
    const StoredSettings stored = store().readUserKey();
    followSettings(stored);
    return followOpenDay(stored.moedt.value_or(QString()));
}

// A tick reads the store only when its stamp moved, or on the tick after it moved: reading it
// whole at each tick cost many times a bare window's tick.
bool Flex_Form::storeMayHaveMoved() {
    const std::string stamp = store().userKeyStamp();
    const bool moved = stamp.empty() || stamp != storeStamp_ || !storeSettled_;
    storeSettled_ = !stamp.empty() && stamp == storeStamp_;
    storeStamp_ = stamp;
    return moved;
}

// For a command other than the button: a day closed elsewhere is closed here too.
void Flex_Form::followBeforeCommand() {
    if (followSharedState() == Followed::DayClosed) {
        closeOpenDayHere();
        Status_Label->setText(dayClosedElsewhereStatus());
    }
}

void Flex_Form::followSettings(const StoredSettings& stored) {
    const WorkSettings held{Arbejdstimer, FrokostVarighed, FrokostArbejdstid};
    if (stored.warnings.isEmpty() && stored.values != held) {
        useSettings(stored.values);
        Arbejds_Menu->setText(changedHoursMenuCaption(Arbejdstimer));
        showBalances();
        if (Komme_Registreret()) {
            showTodaySoFar();
        }
        Status_Label->setText(settingsChangedElsewhere());
        restartTimer();
    }
    if (stored.filnavn && !stored.filnavn->isEmpty() && *stored.filnavn != Filnavn) {
        // Moved by another copy: the next record goes where the store says, on that file's
        // figures.
        setFilnavn(*stored.filnavn);
        if (registrationFileExists(Filnavn)) {
            rereadFigures();
        }
    }
}

Flex_Form::Followed Flex_Form::followOpenDay(const QString& moedt) {
    const bool wasOpen = Komme_Registreret();
    const Followed followed = day_.follow(StoredArrival(moedt), platform_.currentDateTime(),
                                          platform_.shortDatePattern());
    if (followed == Followed::ArrivalTakenOver) {
        takeOverArrival(wasOpen);
    }
    return followed;
}

// The arrival another copy registered, shown as this copy's own; a typed departure stays.
void Flex_Form::takeOverArrival(bool wasOpen) {
    showArrival(*day_.stored().time());
    if (!wasOpen || Gaa_Text->text().isEmpty() || Gaa_Auto) {
        setGaaText(nowText());
        Gaa_Auto = true;
    }
    Opdater_Visning(Gaa_Text->text());
    Status_Label->setText(arrivalTakenOver(Komme_Text->text()));
    restartTimer();
}

// A day that another copy closed: no day open here, and the figures its record left.
void Flex_Form::closeOpenDayHere() {
    dropOpenDay();
    rereadFigures();
}

// The file's last figures, when the file has a record; true when they differ from those shown.
bool Flex_Form::rereadFigures() {
    if (!file_.reread()) {
        return false;
    }
    showBalances();
    return true;
}

bool Flex_Form::fileClosesArrival(const QString& filnavn, const StoredArrival& stored,
                                  std::optional<qint64> sizeAtArrival) {
    return horalog::fileClosesArrival(filnavn, stored, platform_.shortDatePattern(), sizeAtArrival);
}

// Between commands the file is read only when its size or time of change moved: a tick costs
// one stat.
void Flex_Form::followFile() {
    if (file_.followChanges()) {
        showBalances();
        Status_Label->setText(fileChangedNotice());
    }
}

}  // namespace horalog
