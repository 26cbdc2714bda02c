// The days users have: nights, daylight saving, a laptop woken, a departure forgotten, the tray.
#include <QApplication>

#include "form_fixture.h"

namespace horalog::testing {
namespace {

const QByteArray kNoDay = "h\r\nx;0;-;-;-;0;0\r\n";
const QByteArray kFirstDecember = kHeader + "01-12-2026;3;08:00;16:00;750;2220;125;\r\n";

class DaysTest : public FormTest {
protected:
    // Asked about an arrival ("date time") stored on another day.
    static QString question(QString moedt) {
        return u"Der er registreret et komme-tidspunkt for en anden dag.\r\nDato: "_s +
               moedt.replace(u' ', u"  Tid: "_s) + u"\r\n\r\nSkal denne registrering anvendes ?"_s;
    }
    // A new window started at this time of December over these records and "Moedt", answering so.
    void startAt(int day, int hour, int minute, const char* answers, const QByteArray& records,
                 const QByteArray& moedt = " ", const char* datePattern = "dd-MM-yyyy") {
        fresh();
        platform.datePattern = QLatin1String(datePattern);
        on(day, hour, minute);
        platform.answer(QString::fromUtf8(answers));
        startExistingUser(records, moedt);
    }
    // The day as the user sees it and the store keeps it: arrival|departure|today|Moedt|colour.
    QString day() {
        return komme()->text() + u'|' + gaa()->text() + u'|' + today() + u'|' + stored("Moedt") +
               u'|' + kommeColour();
    }
};

// The autumn day; a day stored under dd.MM.yyyy read under dd.MM.yy; a night taken on.
TEST_F(DaysTest, NightsAndTheAutumnDay) {
    const InCopenhagen zone;  // the repeated hour's figure goes on, not back
    on(25, 0, 30, 10);
    startExistingUser(kNoDay);
    arrive("00:30");
    QStringList seen;
    for (const QTime utc : {QTime(0, 59), QTime(1, 0), QTime(1, 30)}) {  // 02:59, 02:00, 02:30
        platform.now = QDateTime(QDate(2026, 10, 25), utc, Qt::UTC).toLocalTime();
        tick();
        seen << gaa()->text() + u' ' + text("Idag_CT");
    }
    EXPECT_EQ(seen.join(u'|'), u"02:59 248 ct |02:00 250 ct |02:30 300 ct "_s);
    startAt(8, 16, 30, "Ja", kNoDay, "08.12.2026 08:00", "dd.MM.yy");
    EXPECT_EQ(lastDialog(), question(u"08.12.2026 08:00"_s));
    EXPECT_EQ(komme()->text() + u'|' + today(), u"08:00|800 ct 08:00 "_s);
    click();
    EXPECT_EQ(readBytes(file), kNoDay + "08.12.26;1;08:00;16:30;800;800;60;\r\n");
    // A night's arrival taken on after midnight, not asked again.
    startAt(8, 1, 30, "Ja", kNoDay, "07-12-2026 22:00");
    EXPECT_EQ(
        lastDialog() + komme()->text() + u'|' + today() + u'|' + form().windowTitle(),
        question(u"07-12-2026 22:00"_s) + u"22:00|350 ct 03:30 |Horalogs registrering - 350 ct "_s);
    tick();
}

// Woken the next day (once taken as today's): asked at the first tick, never over another dialog.
TEST_F(DaysTest, WokenOnTheNextDay) {
    startAt(8, 8, 0, "OK|Ja", kNoDay);
    arrive("08:00");
    on(8, 15, 0);
    tick();
    QString during;  // About first: a question over it would be unscripted
    platform.whileMessageShown = [this, &during] {
        on(9, 9, 5);
        tick();
        during += gaa()->text() + text("Idag_CT");
    };
    menu(u"&Om Horalog"_s);
    tick();
    EXPECT_TRUE(
        (platform.shown.at(0).title + u'|' + platform.shown.at(0).text)
            .startsWith(u"Om Horalogs registrering|Horalogs registrering, Version 1.7.0\r\n"
                        "Registrer og udregner horalog udfra komme & gå tidspunkt.\r\n\r\n"));
    platform.whileMessageShown = nullptr;
    tick();
    EXPECT_EQ(platform.shown.at(1).title + u'|' + platform.shown.at(1).text,
              u"Registreret komme tid|"_s + question(u"08-12-2026 08:00"_s));
    EXPECT_EQ(today(), u"108 ct 01:05 "_s);  // "Ja": the open day goes on, its time of day
    click();
    // Woken again: Annuller to the forgotten departure skips the day; the last tick before sleep.
    arrive("08:00");
    on(9, 15, 0);
    tick();
    on(10, 9, 5);
    platform.answer(u"Nej|Annuller"_s);
    tick();
    EXPECT_EQ(platform.shown.back().defaultText + u'|' + day(), u"15:00|08:05||| |#ffffff"_s);
    EXPECT_TRUE(readBytes(file).endsWith("\n09-12-2026;1;08:00;09:05;58;58;-682;\r\n"));
    // "Ja" after midnight confirms its own date; a second start brings each question forward.
    fresh();
    platform.whileMessageShown = [this, &during] {
        platform.now = platform.now.addSecs(120);  // 00:01
        window->run(&Flex_Form::Tray_Click);
        during += u"%1:%2 "_s.arg(platform.broughtForward).arg(int(window->isVisible()));
    };
    on(8, 23, 59);
    platform.answer(u"Ja|Ja"_s);
    startExistingUser(kNoDay, "07-12-2026 22:00");
    tick();
    tick();
    on(10, 23, 59);
    tick();
    tick();
    EXPECT_EQ(during + QString::number(platform.shown.size()),
              u"15:00650 ct 15:00650 ct 1:0 2:1 2"_s);
}

// "Nej" at the start: an empty box; what makes no departure is refused and the box asked again.
TEST_F(DaysTest, ForgottenDeparture) {
    startAt(8, 9, 0, "Nej|>|OK|>25:00|OK|Annuller", kFirstDecember, "07-12-2026 08:00");
    QStringList seen;
    for (const ShownDialog& d : platform.shown) {
        seen << (d.kind == u'>' ? d.defaultText : d.text);
    }
    EXPECT_EQ(seen.join(u'|'), question(u"07-12-2026 08:00"_s) +
                                   u"||Skriv gå-tiden, eller vælg Annuller for at springe dagen "
                                   u"over.||\"25:00\" er ikke et klokkeslæt.|25:00"_s);
    EXPECT_EQ(platform.shown.at(1).title + u'|' + platform.shown.at(1).text,
              u"Glemt gå-tid|Gå-tiden for 07-12-2026 blev ikke registreret (mødt 08:00).\r\n\r\n"
              u"Angiv gå-tiden for den dag, så dagen kommer med i flex-saldoen.\r\nAnnuller "
              u"springer dagen over."_s);
    // Annuller (or Escape) skips the day for good; the proposal from the system's start.
    EXPECT_EQ(platform.shown.back().title + u'|' + day(), u"Glemt gå-tid|08:00||| |#ffffff"_s);
    startAt(8, 9, 0, "Nej|>01:30", kFirstDecember, "07-12-2026 22:00");  // a night: time passed
    EXPECT_EQ(text("Status_Label"), u"Arbejdstid 08-12-2026: 03:00  (300 ct)"_s);
    // "Nej" proposes the day's end: the program's end, or the lock (the sleep's: the woken day).
    for (const bool locked : {false, true}) {
        startAt(7, 8, 0, "", kFirstDecember);
        arrive("08:00");
        if (locked) {
            on(7, 11, 30);
            platform.desktop(DesktopEvent::Locked);
            on(7, 13, 5);
            platform.desktop(DesktopEvent::Unlocked);
            EXPECT_EQ(text("Status_Label") + u'|' + stored("SidstAktiv"),
                      u"Du var væk 11:30–13:05 (1:35).|"_s);
            on(7, 16, 42);
            platform.desktop(DesktopEvent::Locked);
            on(7, 23, 59);
            tick();
        } else {  // in the tray: the hours reached told once, never while the window is shown
            platform.tray = true;
            for (const int minute : {53, 54, 58, 59}) {
                if (minute != 59) {
                    minute == 54 ? form().showNormal() : form().showMinimized();
                    QApplication::processEvents();
                }
                ASSERT_EQ(form().isVisible(), minute == 54);
                on(7, 15, minute);
                tick();
            }
            EXPECT_EQ(platform.trayMessages,
                      std::vector<QString>{u"Normtiden for i dag er nået|7:24 arbejdet. Husk at "
                                           u"registrere gå-tid, når du går."_s});
            on(7, 16, 42);
            EXPECT_FALSE(userValue("SidstAktiv"));
            EXPECT_TRUE(ends(&Flex_Form::Afslut_Menu_Click));
            window.reset();
        }
        EXPECT_EQ(userValue("SidstAktiv"), "07-12-2026 16:42");
        on(8, 8, 30);
        platform.answer(u"Nej|>16:42"_s);
        ASSERT_TRUE(window ? !ends(&Flex_Form::Udregn_Timer_Timer) : startForm());
        EXPECT_EQ(platform.shown.back().defaultText, u"16:42"_s) << locked;
        // The day recorded with its own date, the open day forgotten, and no day open now.
        EXPECT_EQ(readBytes(file), kFirstDecember + "07-12-2026;4;08:00;16:42;820;3040;205;\r\n");
        EXPECT_EQ(text("Status_Label") + u'|' + text("Total_CT") + u'|' + day(),
                  u"Arbejdstid 07-12-2026: 08:12  (820 ct)|205 ct |07:30||| |#ffffff"_s);
    }
}

}  // namespace
}  // namespace horalog::testing
