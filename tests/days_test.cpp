// The days users really have: a night shift past midnight, the daylight-saving days, a laptop
// woken on the next day, a changed date format under an open day.
#include "form_fixture.h"
#include "in_copenhagen.h"

namespace horalog::testing {
namespace {

const QByteArray kNoDay = "h\r\nx;0;-;-;-;0;0\r\n";

class DaysTest : public FormTest {
protected:
    void on(int year, int month, int day, int hour, int minute) {
        platform.now = QDateTime(QDate(year, month, day), QTime(hour, minute));
    }
    // A time on the autumn day, given in UTC: the hour 02-03 comes twice.
    static QDateTime autumnUtc(int hour, int minute) {
        return QDateTime(QDate(2026, 10, 25), QTime(hour, minute), Qt::UTC).toLocalTime();
    }
    QString question(const char* date, const char* time) {
        return QStringLiteral("Der er registreret et komme-tidspunkt for en anden dag.\r\nDato: ") +
               QLatin1String(date) + QStringLiteral("  Tid: ") + QLatin1String(time) +
               QStringLiteral("\r\n\r\nSkal denne registrering anvendes ?");
    }
    QByteArray lastLine() {
        return readBytes(file).split('\n').at(readBytes(file).count('\n') - 1);
    }
};

// 22:00 to 01:30 once wrote -2100 and took 28 hours off the flex total: left running over
// midnight (asked once, at the first tick of the new date), and started again after it.
TEST_F(DaysTest, NightShift) {
    on(2026, 12, 7, 22, 0);
    startExistingUser(kNoDay);
    arrive("22:00");
    on(2026, 12, 8, 0, 0);
    platform.answer(QStringLiteral("Ja"));
    tick();
    EXPECT_EQ(platform.shown.back().title + u'|' + lastDialog(),
              QStringLiteral("Registreret komme tid|") + question("07-12-2026", "22:00"));
    on(2026, 12, 8, 1, 30);
    tick();
    EXPECT_EQ(today() + u'|' + form().windowTitle(),
              QStringLiteral("350 ct 03:30 |Horalogs registrering - 350 ct "));
    click();
    EXPECT_EQ(lastLine(), QByteArray("08-12-2026;1;22:00;01:30;300;300;-440;\r"));
    fresh();
    on(2026, 12, 8, 1, 30);
    platform.answer(QStringLiteral("Ja"));
    startExistingUser(kNoDay, "07-12-2026 22:00");
    EXPECT_EQ(lastDialog(), question("07-12-2026", "22:00"));
    EXPECT_EQ(komme()->text() + u'|' + today(), QStringLiteral("22:00|350 ct 03:30 "));
    tick();  // answered at the start: not asked again
    EXPECT_EQ(platform.shown.size(), 1U);
}

// 00:30 to 07:30 on the autumn day is eight real hours, and in the hour that repeats the running
// figure goes on instead of back.
TEST_F(DaysTest, TheAutumnDay) {
    const InCopenhagen zone;
    on(2026, 10, 25, 0, 30);
    startExistingUser(kNoDay);
    arrive("00:30");
    QStringList seen;
    for (const QDateTime& t : {autumnUtc(0, 59), autumnUtc(1, 0), autumnUtc(1, 30)}) {
        platform.now = t;  // 02:59, 02:00, 02:30
        tick();
        seen << gaa()->text() + u' ' + text("Idag_CT");
    }
    EXPECT_EQ(seen.join(u'|'), QStringLiteral("02:59 248 ct |02:00 250 ct |02:30 300 ct "));
    on(2026, 10, 25, 7, 30);
    tick();
    click();
    EXPECT_EQ(lastLine(), QByteArray("25-10-2026;1;00:30;07:30;750;750;10;\r"));
}

// A laptop suspended at 15:00 and woken the next morning once took yesterday's 08:00 as today's
// arrival. The question comes at the first tick on the new date, never on top of another
// dialog, and nothing moves while it stands; "Nej" leaves no day open.
TEST_F(DaysTest, WokenOnTheNextDay) {
    for (const char* answer : {"Nej|Annuller", "Ja"}) {
        fresh();
        on(2026, 12, 8, 8, 0);
        startExistingUser(kNoDay);
        arrive("08:00");
        on(2026, 12, 8, 15, 0);
        tick();
        on(2026, 12, 9, 9, 0);
        platform.answer(QStringLiteral("OK"));
        platform.whileMessageShown = [this] { tick(); };
        menu(QStringLiteral("&Om Horalog"));
        EXPECT_EQ(platform.shown.back().title, QStringLiteral("Om Horalogs registrering"));
        QString during;
        platform.whileMessageShown = [this, &during] {
            on(2026, 12, 9, 9, 5);
            tick();
            during = gaa()->text() + text("Idag_CT");
        };
        platform.answer(QLatin1String(answer));
        tick();
        EXPECT_EQ(during, QStringLiteral("15:00650 ct "));
        platform.whileMessageShown = nullptr;
        tick();
        if (answer[0] == 'N') {  // Annuller to the forgotten departure: yesterday is skipped
            EXPECT_EQ(platform.shown.back().defaultText, QStringLiteral("15:00"));  // before sleep
            EXPECT_EQ(platform.shown.at(platform.shown.size() - 2).text,
                      question("08-12-2026", "08:00"));
            EXPECT_EQ(komme()->text() + u'|' + gaa()->text() + u'|' + today(),
                      QStringLiteral("08:05||"));  // the proposal from the system's start
            EXPECT_EQ(komme()->palette().color(QPalette::Base), QColor(255, 255, 255));
            EXPECT_EQ(userValue("Moedt"), " ");
            EXPECT_EQ(readBytes(file), kNoDay);
        } else {  // the open day goes on, its time of day as today's
            EXPECT_EQ(lastDialog(), question("08-12-2026", "08:00"));
            EXPECT_EQ(today(), QStringLiteral("108 ct 01:05 "));
            click();
            EXPECT_EQ(lastLine(), QByteArray("09-12-2026;1;08:00;09:05;58;58;-682;\r"));
        }
    }
}

// "Ja" said after midnight confirms the date it was said on: the question once came again at the
// next tick, at a start at 23:59 as under a running window.
TEST_F(DaysTest, AnsweredAfterMidnight) {
    on(2026, 12, 8, 23, 59);
    platform.answer(QStringLiteral("Ja"));
    platform.whileMessageShown = [this] { on(2026, 12, 9, 0, 1); };
    startExistingUser(kNoDay, "07-12-2026 22:00");
    tick();
    EXPECT_EQ(platform.shown.size(), 1U);
    on(2026, 12, 10, 23, 59);
    platform.answer(QStringLiteral("Ja"));
    platform.whileMessageShown = [this] { on(2026, 12, 11, 0, 1); };
    tick();
    tick();
    EXPECT_EQ(platform.shown.size(), 2U);
}

// "Moedt" written under dd.MM.yyyy and read under dd.MM.yy: the time once came from the wrong
// position (06:08).
TEST_F(DaysTest, ChangedDateFormatUnderAnOpenDay) {
    platform.datePattern = QStringLiteral("dd.MM.yy");
    on(2026, 12, 8, 16, 30);
    platform.answer(QStringLiteral("Ja"));
    startExistingUser(kNoDay, "08.12.2026 08:00");
    EXPECT_EQ(lastDialog(), question("08.12.2026", "08:00"));
    EXPECT_EQ(komme()->text() + u'|' + today(), QStringLiteral("08:00|800 ct 08:00 "));
    click();
    EXPECT_EQ(lastLine(), QByteArray("08.12.26;1;08:00;16:30;800;800;60;\r"));
}

}  // namespace
}  // namespace horalog::testing
