// The working day, helped: a departure forgotten on an earlier day recorded on that day, and the
// tray's word when today's hours are reached.
#include <QApplication>

#include "form_fixture.h"

namespace horalog::testing {
namespace {

const QByteArray kFirstDecember = kHeader + "01-12-2026;3;08:00;16:00;750;2220;125;\r\n";
const QByteArray kForgottenDay = "07-12-2026;4;08:00;16:42;820;3040;205;\r\n";

class WorkingDayTest : public FormTest {
protected:
    void on(int day, int hour, int minute) {
        platform.now = QDateTime(QDate(2026, 12, day), QTime(hour, minute));
    }
    static QString question() {
        return QStringLiteral(
            "Gå-tiden for 07-12-2026 blev ikke registreret (mødt 08:00).\r\n\r\nAngiv gå-tiden "
            "for den dag, så dagen kommer med i flex-saldoen.\r\nAnnuller springer dagen over.");
    }
    const ShownDialog& box() {
        for (auto d = platform.shown.rbegin(); d != platform.shown.rend(); ++d) {
            if (d->kind == u'>') {
                return *d;
            }
        }
        throw std::logic_error("no input box was shown");
    }
    // The day recorded with its own date, the open day forgotten, and no day open now.
    void expectForgottenDayRecorded() {
        EXPECT_EQ(readBytes(file), kFirstDecember + kForgottenDay);
        EXPECT_EQ(userValue("Moedt"), " ");
        EXPECT_EQ(text("Status_Label"), QStringLiteral("Arbejdstid 07-12-2026: 08:12  (820 ct)"));
        EXPECT_EQ(text("Total_CT") + u'|' + today(), QStringLiteral("205 ct |"));
        EXPECT_EQ(komme()->palette().color(QPalette::Base), QColor(255, 255, 255));
    }
};

// "Nej" at the start: nothing known of yesterday, so the box is empty; an empty OK and a time that
// is no clock time or not within one working day are refused, and the box asked again with the
// text typed.
TEST_F(WorkingDayTest, ForgottenDepartureAtTheStart) {
    on(8, 9, 0);
    platform.answer(QStringLiteral("Nej|>|OK|>25:00|OK|>08:00|OK|>16:42"));
    startExistingUser(kFirstDecember, "07-12-2026 08:00");
    QStringList seen;
    for (const ShownDialog& d : platform.shown) {
        seen << (d.kind == u'>' ? d.defaultText : d.text);
    }
    EXPECT_EQ(seen.join(u'|'),
              QStringLiteral("%1||Skriv gå-tiden, eller vælg Annuller for at springe dagen over."
                             "||\"25:00\" er ikke et klokkeslæt.|25:00|Gå-tiden 08:00 ligger før "
                             "komme-tiden 08:00.|08:00")
                  .arg(platform.shown.at(0).text));
    const ShownDialog& asked = platform.shown.at(1);
    EXPECT_EQ(asked.title + u'|' + asked.text, QStringLiteral("Glemt gå-tid|") + question());
    EXPECT_EQ(platform.shown.at(2).icon, MessageIcon::Exclamation);
    expectForgottenDayRecorded();
    EXPECT_EQ(komme()->text(), QStringLiteral("08:00"));  // the proposal from the system's start
}

// Annuller (Escape and the close button give the same) skips the day: the stored arrival is
// forgotten, and the next start asks nothing. (At a tick: DaysTest.WokenOnTheNextDay.)
TEST_F(WorkingDayTest, AnnullerSkipsTheDay) {
    on(8, 9, 0);
    platform.answer(QStringLiteral("Nej|Annuller"));
    startExistingUser(kFirstDecember, "07-12-2026 08:00");
    EXPECT_EQ(platform.shown.back().title, QStringLiteral("Glemt gå-tid"));
    EXPECT_EQ(userValue("Moedt"), " ");
    EXPECT_EQ(readBytes(file), kFirstDecember);
    window.reset();
    ASSERT_TRUE(startForm());  // no question: none is scripted
}

// A night's departure given in the box is recorded as the window records a night: with the
// departure's date and the time that really passed.
TEST_F(WorkingDayTest, ANightFromTheBox) {
    on(8, 9, 0);
    platform.answer(QStringLiteral("Nej|>01:30"));
    startExistingUser(kFirstDecember, "07-12-2026 22:00");
    EXPECT_EQ(readBytes(file), kFirstDecember + "08-12-2026;4;22:00;01:30;300;2520;-315;\r\n");
    EXPECT_EQ(text("Status_Label"), QStringLiteral("Arbejdstid 08-12-2026: 03:00  (300 ct)"));
    EXPECT_EQ(userValue("Moedt"), " ");
}

// What the next morning's "Nej" proposes: the program's end with the day open (kept only then,
// never at a tick); the last tick before the laptop slept with the window open; the screen's
// lock at 16:42 while the window ticked on until the machine slept at 23:59. A lunch-time lock
// is no end of the day, and is told.
TEST_F(WorkingDayTest, TheDaysEndIsProposed) {
    const auto desktop = [this](int hour, int minute, DesktopEvent event) {
        on(7, hour, minute);
        platform.desktop(event);
    };
    for (const char* way : {"end", "sleep", "lock"}) {
        fresh();
        on(7, 8, 0);
        startExistingUser(kFirstDecember);
        arrive("08:00");
        if (way[0] == 'l') {
            desktop(11, 30, DesktopEvent::Locked);
            desktop(13, 5, DesktopEvent::Unlocked);
            EXPECT_EQ(
                text("Status_Label") + u'|' + QString::fromStdString(*userValue("SidstAktiv")),
                QStringLiteral("Du var væk 11:30–13:05 (1:35).|"));
            desktop(16, 42, DesktopEvent::Locked);
        }
        on(7, 16, 42);
        tick();
        if (way[0] == 'l') {
            on(7, 23, 59);
            tick();
            desktop(23, 59, DesktopEvent::Sleeping);
            EXPECT_EQ(userValue("SidstAktiv"), "07-12-2026 16:42");
        } else if (way[0] == 'e') {
            EXPECT_FALSE(userValue("SidstAktiv"));
            EXPECT_TRUE(ends(&Flex_Form::Afslut_Menu_Click));
            EXPECT_EQ(userValue("SidstAktiv"), "07-12-2026 16:42");
            window.reset();
        }
        on(8, 8, 30);
        platform.answer(QStringLiteral("Nej|>16:42"));
        if (window) {
            tick();
        } else {
            ASSERT_TRUE(startForm());
        }
        EXPECT_EQ(box().defaultText, QStringLiteral("16:42")) << way;
        expectForgottenDayRecorded();
    }
    EXPECT_EQ(gaa()->text(), QString());
}

// Once a day, when the moment comes while the window sits in the tray; never while it is shown,
// but once it is minimised later that day.
TEST_F(WorkingDayTest, TheTrayTellsWhenTheHoursAreReached) {
    platform.tray = true;
    on(8, 7, 32);
    startExistingUser(kFirstDecember);
    arrive("07:32");
    // In the tray before the moment, shown at it (no word), in the tray again after it.
    for (const auto& [minute, inTray] :
         {std::pair(25, true), std::pair(26, false), std::pair(30, true), std::pair(31, true)}) {
        if (form().isVisible() == inTray) {
            inTray ? form().showMinimized() : form().showNormal();
            QApplication::processEvents();
        }
        ASSERT_EQ(form().isVisible(), !inTray);
        on(8, 15, minute);
        tick();
    }
    EXPECT_EQ(platform.trayMessages,
              std::vector<QString>{QStringLiteral("Normtiden for i dag er nået|7:24 arbejdet. Husk "
                                                  "at registrere gå-tid, når du går.")});
}

// A second start while the start-up's question stands brings the question forward, not the
// empty window behind it; once started, the window itself.
TEST_F(WorkingDayTest, ASecondStartDuringTheQuestion) {
    on(8, 9, 0);
    bool shownBehind = true;
    platform.whileMessageShown = [this, &shownBehind] {
        window->run(&Flex_Form::Tray_Click);
        shownBehind = window->isVisible();
        platform.whileMessageShown = nullptr;
    };
    platform.answer(QStringLiteral("Ja"));
    startExistingUser(kFirstDecember, "07-12-2026 08:00");
    EXPECT_FALSE(shownBehind);
    EXPECT_EQ(platform.broughtForward, 1);
    form().showMinimized();
    form().run(&Flex_Form::Tray_Click);
    EXPECT_FALSE(form().isMinimized());
}

}  // namespace
}  // namespace horalog::testing
