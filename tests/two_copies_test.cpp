// Two copies of the program over one registration file and one store, as on a desk PC and a
// laptop that share a home on the network: neither drops the other's days.
#include <QLabel>

#ifndef _WIN32
#include <fcntl.h>
#include <signal.h>
#include <sys/wait.h>
#include <unistd.h>
#endif

#include "form_fixture.h"

namespace horalog::testing {
namespace {

const QByteArray kThreeDays =
    "dato;dag;komme;g\xE5;tid;periode;total;kommentar\r\n"
    "05-12-2026;3;08:00;16:00;750;2220;125;\r\n";

class TwoCopiesTest : public FormTest {
protected:
    // The second copy, started over the same folder after the first.
    Flex_Form& second() {
        if (!copyB) {
            platformB.now = platform.now;
            copyB = std::make_unique<Flex_Form>(
                platformB, [this] { return std::make_unique<CRegistry>(store->backend()); });
            copyB->run(&Flex_Form::Form_Load);
        }
        return *copyB;
    }
    QString textB(const char* name) {
        auto* label = second().findChild<QLabel*>(QLatin1String(name));
        return label ? label->text() : second().findChild<QLineEdit*>(QLatin1String(name))->text();
    }
    void registerB(const char* field, const char* time) {
        second().findChild<QLineEdit*>(QLatin1String(field))->setText(QLatin1String(time));
        second().findChild<QPushButton*>(QStringLiteral("Registrer_Command"))->click();
    }
    void registerA(const char* field, const char* time) {
        child<QLineEdit>(field)->setText(QLatin1String(time));
        click();
    }
    void tickB() { second().run(&Flex_Form::Udregn_Timer_Timer); }
    void TearDown() override {
        copyB.reset();
        EXPECT_TRUE(platformB.allAnswered());
        FormTest::TearDown();
    }

    ScriptedPlatform platformB;
    std::unique_ptr<Flex_Form> copyB;
};

// B read the figures at its start; A's morning once vanished from the period and the balance
// when B appended its afternoon on them.
TEST_F(TwoCopiesTest, NeitherDropsTheOthersDay) {
    startExistingUser(kThreeDays);
    second();
    komme()->setText(QStringLiteral("08:00"));
    click();
    gaa()->setText(QStringLiteral("12:00"));
    click();
    registerB("Komme_Text", "13:00");
    registerB("Gaa_Text", "16:00");
    EXPECT_EQ(readBytes(file), kThreeDays +
                                   "05-12-2026;4;08:00;12:00;350;2570;-265;\r\n"
                                   "05-12-2026;5;13:00;16:00;250;2820;-755;\r\n");
    EXPECT_EQ(textB("Status_Label"),
              QStringLiteral("Registreringsfilen er ændret af et andet program; tallene er læst "
                             "igen."));
    EXPECT_EQ(textB("Periode_CT") + textB("Total_CT"), QStringLiteral("2820 ct -755 ct "));
}

// B has run since before A registered the arrival: B's press once stored its own proposal over
// A's 08:00, and A's departure then counted from 14:37.
TEST_F(TwoCopiesTest, AnArrivalFromTheOtherCopyIsKept) {
    startExistingUser(kThreeDays);
    second();
    registerA("Komme_Text", "08:00");
    platformB.now.setTime(QTime(14, 37));
    registerB("Komme_Text", "14:37");
    EXPECT_EQ(textB("Status_Label"),
              QStringLiteral("Komme tidspunkt 08:00 er registreret i et andet Horalog."));
    EXPECT_EQ(textB("Komme_Text") + u'|' + textB("Idag_CT"), QStringLiteral("08:00|612 ct "));
    EXPECT_EQ(userValue("Moedt"), "05-12-2026 08:00");
    registerA("Gaa_Text", "16:30");
    EXPECT_EQ(readBytes(file), kThreeDays + "05-12-2026;4;08:00;16:30;800;3020;185;\r\n");
}

// Daily hours set on A count on B from its next command on, and B's tick shows the store's.
TEST_F(TwoCopiesTest, HoursChangedOnTheOtherCopyCount) {
    startExistingUser(kThreeDays);
    second();
    platform.answer(QStringLiteral(">8"));
    form().run(&Flex_Form::Arbejds_Menu_Click);
    tickB();
    EXPECT_EQ(textB("Status_Label"),
              QStringLiteral("Opsætningerne er ændret i et andet Horalog og gælder nu også her."));
    EXPECT_EQ(second().findChild<QAction*>(QStringLiteral("Arbejds_Menu"))->text(),
              QStringLiteral("&Arbejdstid  (8)"));
    registerB("Komme_Text", "08:00");
    registerB("Gaa_Text", "16:30");
    EXPECT_EQ(readBytes(file), kThreeDays + "05-12-2026;4;08:00;16:30;800;3020;125;\r\n");
    EXPECT_EQ(userValue("Arbejdstimer"), "8");
}

// A moved the file; B's next record goes to the file the store names, on its figures.
TEST_F(TwoCopiesTest, AFileMovedByTheOtherCopyIsFollowed) {
    startExistingUser(kThreeDays);
    second();
    const QString moved = inDir("flyttet.dat");
    platform.answer(u'@' + moved + QStringLiteral("|Ja"));
    form().run(&Flex_Form::Filnavn_Menu_Click);
    ASSERT_FALSE(QFile::exists(file));
    tickB();
    EXPECT_EQ(second().findChild<QAction*>(QStringLiteral("Filnavn_Menu"))->text(),
              QStringLiteral("&Filnavn  (") + moved + u')');
    registerB("Komme_Text", "08:00");
    registerB("Gaa_Text", "16:30");
    EXPECT_FALSE(QFile::exists(file));
    EXPECT_EQ(readBytes(moved), kThreeDays + "05-12-2026;4;08:00;16:30;800;3020;185;\r\n");
}

// A closes the day; within one tick B shows no open day and the figures of A's record.
TEST_F(TwoCopiesTest, ADayClosedElsewhereIsFollowedAtTheTick) {
    startExistingUser(kThreeDays, "05-12-2026 08:00");
    second();
    registerA("Gaa_Text", "16:30");
    tickB();
    EXPECT_EQ(textB("Status_Label"),
              QStringLiteral("Dagen er afsluttet i et andet Horalog; tallene er læst igen."));
    EXPECT_EQ(textB("Idag_CT") + u'|' + textB("Gaa_Text") + u'|' + textB("Total_CT"),
              QStringLiteral("||185 ct "));
    EXPECT_NE(textB("Komme_Text"), QStringLiteral("08:00"));
}

#ifndef _WIN32
// Another program held the file's lock: the program once froze 5 s and then ended, and the time off
// typed was lost. Now the user is told, the window goes on, and the next time off proposes what
// was typed.
TEST_F(TwoCopiesTest, ALockHeldByAnotherProgramIsTold) {
    startExistingUser(kThreeDays);
    int ready[2];
    ASSERT_EQ(::pipe(ready), 0);
    const pid_t holder = ::fork();
    if (holder == 0) {
        const int fd = ::open(QFile::encodeName(file).constData(), O_RDWR);
        struct flock lock {};
        lock.l_type = F_WRLCK;
        lock.l_whence = SEEK_SET;
        ::fcntl(fd, F_OFD_SETLK, &lock);
        (void)!::write(ready[1], "x", 1);
        ::pause();
        ::_exit(0);
    }
    char byte = 0;
    ASSERT_EQ(::read(ready[0], &byte, 1), 1);
    platform.answer(QStringLiteral(">1,5|>ferie|OK"));
    form().run(&Flex_Form::Afspadsering_Menu_Click);
    ::kill(holder, SIGKILL);
    ::waitpid(holder, nullptr, 0);
    EXPECT_EQ(lastDialog(),
              QStringLiteral("Registreringsfilen er låst af et andet program. Prøv igen om lidt."));
    EXPECT_FALSE(platform.endedWith.has_value());
    EXPECT_EQ(readBytes(file), kThreeDays);
    platform.answer(QStringLiteral(">1,5|>ferie"));
    form().run(&Flex_Form::Afspadsering_Menu_Click);
    const auto n = platform.shown.size();
    EXPECT_EQ(platform.shown[n - 2].defaultText + u'|' + platform.shown[n - 1].defaultText,
              QStringLiteral("1,5|ferie"));
    EXPECT_EQ(readBytes(file), kThreeDays + "05-12-2026;3;-;-;-150;2070;-25;ferie\r\n");
    ::close(ready[0]);
    ::close(ready[1]);
}
#endif

// A day closed on the other machine is not closed twice: its arrival is read afresh from the
// shared store first.
TEST_F(TwoCopiesTest, ADayClosedElsewhereIsNotClosedAgain) {
    startExistingUser(kThreeDays);
    komme()->setText(QStringLiteral("08:00"));
    click();
    second();  // finds today's open day in the store
    EXPECT_EQ(textB("Komme_Text"), QStringLiteral("08:00"));
    gaa()->setText(QStringLiteral("16:00"));
    click();
    platformB.answer(QStringLiteral("OK"));
    registerB("Gaa_Text", "16:30");
    EXPECT_EQ(platformB.shown.back().text,
              QStringLiteral("Dagen er allerede afsluttet af et andet Horalog, så gå-tiden "
                             "registreres ikke.\r\n\r\nIntet er ændret."));
    EXPECT_EQ(readBytes(file), kThreeDays + "05-12-2026;4;08:00;16:00;750;2970;135;\r\n");
    EXPECT_EQ(textB("Gaa_Text") + textB("Idag_CT") + u'|' + textB("Total_CT"),
              QStringLiteral("|135 ct "));
    EXPECT_EQ(userValue("Moedt"), " ");
}

// The user corrected the last line in a spreadsheet while the window ran: the time off is booked
// on the corrected figures.
TEST_F(TwoCopiesTest, FileChangedBehindTheWindowsBack) {
    startExistingUser(kThreeDays);
    writeBytes(file, kThreeDays + "05-12-2026;3;08:00;16:00;750;2220;200;\r\n");
    platform.answer(QStringLiteral(">1|>"));
    form().run(&Flex_Form::Afspadsering_Menu_Click);
    EXPECT_TRUE(readBytes(file).endsWith("200;\r\n05-12-2026;3;-;-;-100;2120;100;\r\n"));
    EXPECT_EQ(text("Total_CT") + text("Status_Label"),
              QStringLiteral("100 ct Registreringsfilen er ændret af et andet program; tallene er "
                             "læst igen."));
}

}  // namespace
}  // namespace horalog::testing
