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
    const QString stored = forgetClosedArrival(storedArrival());
    knownMoedt_ = stored;
    const QDate today = platform_.currentDateTime().date();
    const OpenDayDecision open = decideOpenDay(stored, today, platform_.shortDatePattern());
    Komme_Registreret = open.kind == OpenDayDecision::Kind::Today ||
                        (open.kind == OpenDayDecision::Kind::Ask && keepOtherDaysArrival(stored));
    // Its record waits for the settings and the file's figures.
    const std::optional<ForgottenDay> forgotten =
        open.kind == OpenDayDecision::Kind::Ask && !Komme_Registreret
            ? askForgottenDeparture(stored, lastActive(), std::nullopt)
            : std::nullopt;
    Laes_Opsaetninger();

    showWindowCentred();
    if (Komme_Registreret) {
        // A date the pattern cannot read counts as today's, as only its time of day is used.
        restoreArrival(open.timeText, open.date.isValid() ? open.date : today);
        confirmedDate_ =
            platform_.currentDateTime().date();  // the answer's date, not the question's
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

QString Flex_Form::storedArrival() {
    return store().storedArrival();
}

// An arrival whose record is already the file's last (the program ended, or the store could not
// be written, between saving the day and forgetting it) is forgotten now, not reopened.
QString Flex_Form::forgetClosedArrival(const QString& stored) {
    const StoredSettings settings = store().readUserKey();
    if (!settings.filnavn ||
        !fileClosesArrival(*settings.filnavn, stored, settings.moedtFilLaengde)) {
        return stored;
    }
    writeSetting(Setting::Moedt, kNoArrival);
    return kNoArrival;
}

bool Flex_Form::keepOtherDaysArrival(const QString& stored) {
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

void Flex_Form::restoreArrival(const QString& time, const QDate& date) {
    const auto arrival = readTypedTime(time, Dato_Laengde);
    if (!arrival) {
        // A stored arrival no clock can show is no arrival.
        Komme_Registreret = false;
        proposeArrival();
        return;
    }
    Komme_Text->setText(Formater_Tid(arrival->hhmm));
    setArrival(arrival->ct, date);
    setKommeColour(true);
    Gaa_Text->setText(nowText());
    Gaa_Text->setFocus();
    Gaa_Text_GotFocus();
    Opdater_Visning(Gaa_Text->text());
    Komme_Registreret = true;
}

}  // namespace horalog
