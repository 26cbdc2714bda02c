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

// "Nej" at the start: nothing known of yesterday, so the box is empty; a time not after the
// arrival is refused and the box asked again with it.
TEST_F(WorkingDayTest, ForgottenDepartureAtTheStart) {
    on(8, 9, 0);
    platform.answer(QStringLiteral("Nej|>08:00|OK|>16:42"));
    startExistingUser(kFirstDecember, "07-12-2026 08:00");
    const ShownDialog& asked = platform.shown.at(1);
    EXPECT_EQ(asked.title + u'|' + asked.text + u'|' + asked.defaultText,
              QStringLiteral("Glemt gå-tid|") + question() + u'|');
    EXPECT_EQ(platform.shown.at(2).text,
              QStringLiteral("Tiden \"08:00\" kan ikke anvendes, fordi tallet er for stort.\r\n\r\n"
                             "Intet er ændret."));
    EXPECT_EQ(box().defaultText, QStringLiteral("08:00"));
    expectForgottenDayRecorded();
    EXPECT_EQ(komme()->text(), QStringLiteral("08:00"));  // the proposal from the system's start
}

// The program ended with the day open: the moment is kept (only then, never at a tick) and is
// the next start's proposal.
TEST_F(WorkingDayTest, ProposedFromTheProgramsEnd) {
    on(7, 8, 0);
    startExistingUser(kFirstDecember);
    arrive("08:00");
    on(7, 16, 42);
    tick();
    EXPECT_FALSE(userValue("SidstAktiv"));
    EXPECT_TRUE(ends(&Flex_Form::Afslut_Menu_Click));
    EXPECT_EQ(userValue("SidstAktiv"), "07-12-2026 16:42");
    window.reset();
    on(8, 8, 30);
    platform.answer(QStringLiteral("Nej|>16:42"));
    ASSERT_TRUE(startForm());
    EXPECT_EQ(box().defaultText, QStringLiteral("16:42"));
    expectForgottenDayRecorded();
}

// The laptop slept at 16:42 with the window open and woke the next morning: the tick's question,
// "Nej", and the last tick before the sleep proposed.
TEST_F(WorkingDayTest, ProposedFromTheLastTickBeforeASleep) {
    on(7, 8, 0);
    startExistingUser(kFirstDecember);
    arrive("08:00");
    for (const int minute : {41, 42}) {
        on(7, 16, minute);
        tick();
    }
    on(8, 8, 30);
    platform.answer(QStringLiteral("Nej|>16:42"));
    tick();
    EXPECT_EQ(box().defaultText, QStringLiteral("16:42"));
    expectForgottenDayRecorded();
    EXPECT_EQ(gaa()->text(), QString());
}

// The screen locked at 16:42 and the window ticked on until the machine slept at 23:59: the lock
// is the day's end, kept for a next start too. A lunch-time lock is no end, and is told.
TEST_F(WorkingDayTest, ProposedFromTheLastLock) {
    on(7, 8, 0);
    startExistingUser(kFirstDecember);
    arrive("08:00");
    const auto desktop = [&](int day, int hour, int minute, DesktopEvent event) {
        on(day, hour, minute);
        platform.desktop(event);
    };
    desktop(7, 11, 30, DesktopEvent::Locked);
    desktop(7, 13, 5, DesktopEvent::Unlocked);
    EXPECT_EQ(text("Status_Label") + u'|' + QString::fromStdString(*userValue("SidstAktiv")),
              QStringLiteral("Du var væk 11:30–13:05 (1:35).|"));
    desktop(7, 16, 42, DesktopEvent::Locked);
    for (const int hour : {17, 20, 23}) {
        on(7, hour, 59);
        tick();
    }
    desktop(7, 23, 59, DesktopEvent::Sleeping);
    EXPECT_EQ(userValue("SidstAktiv"), "07-12-2026 16:42");
    desktop(8, 8, 30, DesktopEvent::Woken);
    platform.answer(QStringLiteral("Nej|>16:42"));
    tick();
    EXPECT_EQ(box().defaultText, QStringLiteral("16:42"));
    expectForgottenDayRecorded();
}

// Once a day, when the moment comes while the window sits in the tray; never while it is shown.
TEST_F(WorkingDayTest, TheTrayTellsWhenTheHoursAreReached) {
    platform.tray = true;
    on(8, 7, 32);
    startExistingUser(kFirstDecember);
    arrive("07:32");
    form().showMinimized();
    QApplication::processEvents();
    ASSERT_FALSE(form().isVisible());
    for (const int minute : {25, 26, 40}) {
        on(8, 15, minute);
        tick();
    }
    EXPECT_EQ(platform.trayMessages,
              std::vector<QString>{QStringLiteral("Normtiden for i dag er nået|7:24 arbejdet. Husk "
                                                  "at registrere gå-tid, når du går.")});
    fresh();
    platform.tray = true;
    on(8, 7, 32);
    startExistingUser(kFirstDecember);
    arrive("07:32");
    on(8, 15, 26);
    tick();  // shown: the moment passes without a word, and not later in the tray
    form().showMinimized();
    QApplication::processEvents();
    on(8, 15, 30);
    tick();
    EXPECT_TRUE(platform.trayMessages.empty());
}

}  // namespace
}  // namespace horalog::testing
