// Start-up: the date format, the settings, an open day, the registration file, the balances.
#include <QAction>
#include <QGuiApplication>
#include <QLineEdit>
#include <QScreen>
#include <QTimer>

#include "app/flex_form.h"
#include "app/tray_data.h"
#include "journal/journal_file.h"
#include "platform/platform_paths.h"
#include "settings/file_location.h"
#include "text/time_text.h"

namespace horalog {

void Flex_Form::Form_Load() {
    const DatePattern pattern = checkDatePattern(platform_.shortDatePattern());
    Dato_Laengde = pattern.length;
    if (!pattern.accepted) {
        platform_.tell(this, datePatternRefusal(pattern.shown));
        platform_.endProgram(1);
    }

    Flyt_Opsaetninger();
    const StoredArrival stored = forgetClosedArrival(storedArrival());
    day_.storedAs(stored);
    const StoredArrival::Day day =
        stored.dayAt(platform_.currentDateTime().date(), platform_.shortDatePattern());
    const bool keep = day == StoredArrival::Day::Today ||
                      (day == StoredArrival::Day::Other && keepOtherDaysArrival(stored));
    // Its record waits for the settings and the file's figures.
    const std::optional<ForgottenDay> forgotten =
        day == StoredArrival::Day::Other && !keep
            ? askForgottenDeparture(stored, lastActive(), std::nullopt)
            : std::nullopt;
    Laes_Opsaetninger();

    showWindowCentred();
    if (keep) {
        restoreArrival(stored);
    } else {
        proposeArrival();
    }

    Gaa_Auto = true;
    Laes_Registrering();
    showBalances();
    if (forgotten) {
        recordForgottenDay(stored, *forgotten);
    }

    Tray->fill();
    setCaption(windowTitle());
    // Only now may the clock move the window: a tick during a start-up question would show a
    // day that is not open.
    Udregn_Timer->start();
    platform_.watchDesktop(this, [this](DesktopEvent event) { desktopEvent(event); });
}

StoredArrival Flex_Form::storedArrival() {
    return StoredArrival(store().storedArrival());
}

// An arrival whose record is already in the file (the program ended, or the store could not be
// written, between saving the day and forgetting it) is forgotten now, not reopened.
StoredArrival Flex_Form::forgetClosedArrival(const StoredArrival& stored) {
    const StoredSettings settings = store().readUserKey();
    if (!settings.filnavn ||
        !fileClosesArrival(*settings.filnavn, stored, settings.moedtFilLaengde)) {
        return stored;
    }
    writeSetting(Setting::Moedt, kNoArrival);
    return StoredArrival(kNoArrival);
}

bool Flex_Form::keepOtherDaysArrival(const StoredArrival& stored) {
    return platform_.ask(this, otherDayQuestion(stored)) == MessageAnswer::Yes;
}

void Flex_Form::Flyt_Opsaetninger() {
    if (store().userKeyExists()) {
        return;
    }
    QString moedt = kNoArrival;
    WorkSettings values;
    const std::optional<StoredSettings> machine = store().readMachineKey();
    if (machine) {
        moedt = machine->moedt.value_or(moedt);
        showWarnings(machine->warnings);
        values = machine->values;
        Filnavn = machine->filnavn ? userFileName(*machine->filnavn, userLoginName())
                                   : defaultRegistrationFile();
        if (!machine->filnavn) {
            fileNameNotice(NoticeWording::TakenOver);
        }
    } else {
        Filnavn = defaultRegistrationFile();
        fileNameNotice(NoticeWording::FirstStart);
    }
    useSettings(values);
    auto registry = makeRegistry_();
    SettingsStore(*registry).createUserKey(moedt, values, Filnavn);
    claimExistingFile();
}

// A first start over a file that already holds records (another user's, named by the machine's
// key, or the user's own after the settings were lost) asks before it goes on in it.
void Flex_Form::claimExistingFile() {
    while (registrationFileExists(Filnavn)) {
        const FileFigures read = readFileFigures(Filnavn);
        if (!read.ok() || !read->figures) {
            return;  // nothing to take over; a file that cannot be read is reported later
        }
        const QString fallback = defaultRegistrationFile();
        const QString alternative = Filnavn == fallback ? QString() : fallback;
        if (platform_.ask(this, existingFileQuestion(Filnavn, read->figures->total, alternative)) ==
            MessageAnswer::Yes) {
            return;
        }
        if (alternative.isEmpty()) {
            file_.declineRecords();
            return;
        }
        setFilnavn(alternative);
        writeSetting(Setting::Filnavn, Filnavn);
    }
}

void Flex_Form::Laes_Opsaetninger() {
    const StoredSettings stored = store().readUserKey(true);
    showWarnings(stored.warnings);
    useSettings(stored.values);
    Arbejds_Menu->setText(hoursMenuCaption(Arbejdstimer));
    if (stored.filnavn) {
        setFilnavn(*stored.filnavn);
    } else {
        setFilnavn(defaultRegistrationFile());
        fileNameNotice(NoticeWording::TakenOver);
        writeSetting(Setting::Filnavn, Filnavn);
    }
    Frokost_Aktiv = true;
}

void Flex_Form::useSettings(const WorkSettings& values) {
    Arbejdstimer = values.arbejdstimer;
    FrokostVarighed = values.frokostVarighed;
    FrokostArbejdstid = values.frokostArbejdstid;
}

void Flex_Form::showWarnings(const QStringList& warnings) {
    for (const QString& text : warnings) {
        warn(text);
    }
}

void Flex_Form::fileNameNotice(NoticeWording wording) {
    platform_.tell(this, horalog::fileNameNotice(Filnavn, wording));
}

void Flex_Form::showWindowCentred() {
    adjustSize();
    const QScreen* screen = QGuiApplication::primaryScreen();
    const QRect area = screen != nullptr ? screen->geometry() : QRect(0, 0, 1024, 768);
    move(area.width() / 2 - width() / 2, area.height() / 2 - height() / 2);
    show();
    repaint();
}

void Flex_Form::proposeArrival() {
    Komme_Text->setText(
        proposedArrival(platform_.currentDateTime().time(), platform_.millisecondsSinceStart()));
    Komme_Text->setFocus();
    Komme_Text_GotFocus();
}

// The arrival's date and the date "Ja" confirmed are read once the question is answered.
void Flex_Form::restoreArrival(const StoredArrival& stored) {
    if (!day_.restore(stored, platform_.currentDateTime(), platform_.shortDatePattern())) {
        proposeArrival();  // a stored arrival no clock can show is no arrival
        return;
    }
    showArrival(*stored.time());
    Gaa_Text->setText(nowText());
    Gaa_Text->setFocus();
    Gaa_Text_GotFocus();
    Opdater_Visning(Gaa_Text->text());
}

// The open day's arrival in its field, on green.
void Flex_Form::showArrival(const TypedTime& arrival) {
    Komme_Text->setText(Formater_Tid(arrival.hhmm));
    setKommeColour(true);
}

}  // namespace horalog
