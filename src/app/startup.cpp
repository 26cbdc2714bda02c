// Start-up: the date format, the settings, an open day, the registration file, the balances.
#include <QAction>
#include <QGuiApplication>
#include <QLineEdit>
#include <QScreen>
#include <QTimer>

#include "app/flex_form.h"
#include "platform/platform_paths.h"
#include "settings/store_text.h"
#include "text/time_text.h"

namespace horalog {

void Flex_Form::Form_Load() {
    const DatePattern pattern = checkDatePattern(platform_.shortDatePattern());
    Dato_Laengde = pattern.length;
    if (!pattern.accepted) {
        platform_.messageBox(this, datePatternRefusal(pattern.shown),
                             QStringLiteral("Fejl i dato format"), MessageIcon::Critical,
                             MessageButtons::Ok, MessageAnswer::Ok);
        platform_.endProgram(1);
    }

    Flyt_Opsaetninger();
    reg().OpenKey(kHKeyCurrentUser, kSettingsKey, false, true);
    const QString stored = readStoredArrival(reg()).value_or(QString());
    Komme_Registreret = false;
    switch (storedArrivalKind(stored, currentDateText(), Dato_Laengde)) {
        case StoredArrival::None:
            break;
        case StoredArrival::Today:
            Komme_Registreret = true;
            break;
        case StoredArrival::OtherDay:
            Komme_Registreret = platform_.messageBox(this, otherDayQuestion(stored),
                                                     QStringLiteral("Registreret komme tid"),
                                                     MessageIcon::Question, MessageButtons::YesNo,
                                                     MessageAnswer::Yes) == MessageAnswer::Yes;
            break;
    }
    readSettings();

    showWindowCentred();
    if (Komme_Registreret) {
        restoreArrival(stored);
    } else {
        proposeArrival();
    }

    Gaa_Auto = true;
    setFigures({});
    Laes_Registrering();
    showBalances();

    Tray_Data.filled = true;
    setCaption(windowTitle());
    // Only now may the clock move the window: a tick during a start-up question would show a
    // day that is not open.
    Udregn_Timer->start();
}

void Flex_Form::Flyt_Opsaetninger() {
    if (reg().OpenKey(kHKeyCurrentUser, kSettingsKey, false, false)) {
        reg().CloseKey();
        return;
    }
    QString moedt = QStringLiteral(" ");
    WorkSettings values;
    if (reg().OpenKey(kHKeyLocalMachine, kSettingsKey, false, false)) {
        // The machine-wide key stays open in Reg until its next OpenKey.
        moedt = readStoredArrival(reg()).value_or(moedt);
        const SettingsReading machine = horalog::readSettings(reg(), false);
        showWarnings(machine.warnings);
        values = machine.values;
        Filnavn = machine.filnavn.value_or(defaultRegistrationFile());
        if (!machine.filnavn) {
            fileNameNotice(true);
        }
    } else {
        Filnavn = defaultRegistrationFile();
        fileNameNotice(false);
    }
    useSettings(values);
    writeUserKey(*makeRegistry_(), moedt, values, Filnavn);
}

void Flex_Form::readSettings() {
    const SettingsReading stored = horalog::readSettings(reg(), true);
    showWarnings(stored.warnings);
    useSettings(stored.values);
    Arbejds_Menu->setText(hoursMenuCaption(Arbejdstimer));
    if (stored.filnavn) {
        setFilnavn(*stored.filnavn);
    } else {
        setFilnavn(defaultRegistrationFile());
        fileNameNotice(true);
        reg().WriteValue("Filnavn", toStoreText(Filnavn));
    }
    reg().CloseKey();
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

void Flex_Form::fileNameNotice(bool firstWording) {
    platform_.messageBox(this, horalog::fileNameNotice(Filnavn, firstWording),
                         QStringLiteral("Horalog.dat filnavn"), MessageIcon::Information,
                         MessageButtons::Ok, MessageAnswer::Ok);
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

void Flex_Form::restoreArrival(const QString& stored) {
    const auto arrival = readTypedTime(stored, Dato_Laengde);
    if (!arrival) {
        // A stored arrival no clock can show is no arrival.
        Komme_Registreret = false;
        proposeArrival();
        return;
    }
    Komme_Text->setText(Formater_Tid(arrival->hhmm));
    Komme_CT = arrival->ct;
    setKommeColour(true);
    Gaa_Text->setText(nowText());
    Gaa_Text->setFocus();
    Gaa_Text_GotFocus();
    Opdater_Visning(Gaa_Text->text());
    Komme_Registreret = true;
}

}  // namespace horalog
