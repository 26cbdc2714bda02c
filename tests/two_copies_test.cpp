// Two copies of the program over one registration file and one store, as on a desk PC and a
// laptop that share a home on the network: neither drops the other's days, and a day is closed
// once, even when the store cannot forget it after its record is saved.
#ifndef _WIN32
#include <fcntl.h>
#include <unistd.h>
#endif

#include "form_fixture.h"
#include "platform/file_sync.h"
#ifndef _WIN32
#include "registry/hive_file.h"
#endif

namespace horalog::testing {
namespace {

const QByteArray kClosed = kThreeDays + "05-12-2026;4;08:00;16:30;800;3020;185;\r\n";
const QString kClosedElsewhere =
    QStringLiteral(
        "Dagen er allerede afsluttet af et andet Horalog, så gå-tiden registreres ikke.") +
    kUnchanged;

class TwoCopiesTest : public FormTest {
protected:
    // The second copy, started over the same folder after the first.
    Flex_Form& second() {
        if (!copyB) {
            platformB.now = platform.now;
            copyB = newWindow(platformB);
            copyB->start();
        }
        return *copyB;
    }
    QString textB(const char* name) { return textIn(second(), name); }
    void TearDown() override {
        copyB.reset();
        EXPECT_TRUE(platformB.allAnswered());
        FormTest::TearDown();
    }

    ScriptedPlatform platformB;
    std::unique_ptr<Flex_Form> copyB;
};

// Another copy appended since this one read the file: the day and the time off are built on
// the file's figures, and the status line says so. A's morning once vanished from the balance
// when B appended its afternoon on the figures it read at its start.
TEST_F(TwoCopiesTest, RecordsBuildOnTheFileAsItIsNow) {
    startExistingUser(kThreeDays);
    second();
    arrive("08:00");
    leave("12:00");
    enter(second(), "Komme_Text", "13:00");
    enter(second(), "Gaa_Text", "16:00");
    const QString reread =
        QStringLiteral("Registreringsfilen er ændret af et andet program; tallene er læst igen.");
    EXPECT_EQ(textB("Status_Label") + textB("Periode_CT") + textB("Total_CT"),
              reread + QStringLiteral("2820 ct -755 ct "));
    platform.answer(QStringLiteral(">1|>"));
    menu(QStringLiteral("Angiv a&fspadsering"));
    EXPECT_EQ(readBytes(file), kThreeDays +
                                   "05-12-2026;4;08:00;12:00;350;2570;-265;\r\n"
                                   "05-12-2026;5;13:00;16:00;250;2820;-755;\r\n"
                                   "05-12-2026;5;-;-;-100;2720;-855;\r\n");
    EXPECT_EQ(text("Total_CT") + text("Status_Label"), QStringLiteral("-855 ct ") + reread);
}

// B's press once stored its own proposal over A's 08:00, and A's departure counted from 14:37.
TEST_F(TwoCopiesTest, AnArrivalFromTheOtherCopyIsKept) {
    startExistingUser(kThreeDays);
    second();
    arrive("08:00");
    platformB.now.setTime(QTime(14, 37));
    enter(second(), "Komme_Text", "14:37");
    EXPECT_EQ(textB("Status_Label") + u'|' + textB("Komme_Text") + u'|' + textB("Idag_CT"),
              QStringLiteral("Komme tidspunkt 08:00 er registreret i et andet Horalog.|08:00|612 "
                             "ct "));
    EXPECT_EQ(userValue("Moedt"), "05-12-2026 08:00");
    leave("16:30");
    EXPECT_EQ(readBytes(file), kClosed);
}

// Daily hours set and the file moved on A count on B from its next tick.
TEST_F(TwoCopiesTest, SettingsChangedOnTheOtherCopyCount) {
    startExistingUser(kThreeDays);
    second().run(&Flex_Form::Udregn_Timer_Timer);
    second().run(&Flex_Form::Udregn_Timer_Timer);  // the store stood still: B stops reading it
    const QString moved = inDir("flyttet.dat");
    platform.answer(QStringLiteral(">8|@") + moved + QStringLiteral("|Ja"));
    menu(QStringLiteral("&Arbejdstid"));
    menu(QStringLiteral("&Filnavn"));
    second().run(&Flex_Form::Udregn_Timer_Timer);
    EXPECT_EQ(textB("Status_Label") + u'|' + textB("Arbejds_Menu") + textB("Filnavn_Menu"),
              QStringLiteral("Opsætningerne er ændret i et andet Horalog og gælder nu også "
                             "her.|&Arbejdstid  (8)&Filnavn  (") +
                  moved + u')');
    enter(second(), "Komme_Text", "08:00");
    enter(second(), "Gaa_Text", "16:30");
    EXPECT_FALSE(QFile::exists(file));
    EXPECT_EQ(readBytes(moved), kThreeDays + "05-12-2026;4;08:00;16:30;800;3020;125;\r\n");
    EXPECT_EQ(userValue("Arbejdstimer"), "8");
}

// A moved the file while B's time off waited: B once said the file was gone and booked nothing.
// B follows the store to the moved file and books there.
TEST_F(TwoCopiesTest, AFileMovedWhileACommandWaitsIsFollowed) {
    startExistingUser(kThreeDays);
    second();
    const QString moved = inDir("flyttet.dat");
    platformB.answer(QStringLiteral(">1"));
    platformB.unscripted = [&](const ShownDialog&) {  // the comment, asked while A moves it
        platform.answer(QStringLiteral("@") + moved + QStringLiteral("|Ja"));
        menu(QStringLiteral("&Filnavn"));
        return QStringLiteral(">ferie");
    };
    second().findChild<QAction*>(QStringLiteral("Afspadsering_Menu"))->trigger();
    EXPECT_EQ(readBytes(moved), kThreeDays + "05-12-2026;3;-;-;-100;2120;25;ferie\r\n");
    EXPECT_EQ(textB("Filnavn_Menu") + textB("Total_CT"),
              QStringLiteral("&Filnavn  (") + moved + QStringLiteral(")25 ct "));
    EXPECT_FALSE(QFile::exists(file));
}

// A closes the day; within one tick B shows no open day and the figures of A's record, and a
// departure typed on B is refused, not recorded twice.
TEST_F(TwoCopiesTest, ADayClosedElsewhereIsFollowed) {
    startExistingUser(kThreeDays, "05-12-2026 08:00");
    second();
    leave("16:30");
    second().run(&Flex_Form::Udregn_Timer_Timer);
    EXPECT_EQ(textB("Status_Label") + u'|' + textB("Idag_CT") + u'|' + textB("Gaa_Text") + u'|' +
                  textB("Total_CT"),
              QStringLiteral("Dagen er afsluttet i et andet Horalog; tallene er læst igen.|||185 "
                             "ct "));
    EXPECT_NE(textB("Komme_Text"), QStringLiteral("08:00"));
    fresh();  // B's departure before its tick: the arrival is read afresh from the store first
    startExistingUser(kThreeDays);
    arrive("08:00");
    EXPECT_EQ(textB("Komme_Text"), QStringLiteral("08:00"));
    leave("16:00");
    platformB.answer(QStringLiteral("OK"));
    enter(second(), "Gaa_Text", "16:30");
    EXPECT_EQ(platformB.shown.back().text, kClosedElsewhere);
    EXPECT_EQ(readBytes(file), kThreeDays + "05-12-2026;4;08:00;16:00;750;2970;135;\r\n");
    EXPECT_EQ(textB("Gaa_Text") + textB("Idag_CT") + u'|' + textB("Total_CT"),
              QStringLiteral("|135 ct "));
    EXPECT_EQ(userValue("Moedt"), " ");
}

// Another program held the file's lock: the program once froze 5 s, ended, and lost the time off
// typed. Now the user is told, and the next time off proposes what was typed.
TEST_F(TwoCopiesTest, ALockHeldByAnotherProgramIsTold) {
    startExistingUser(kThreeDays);
    QFile holder(file);
    ASSERT_TRUE(holder.open(QIODevice::ReadWrite));
    const auto taken = tryLockFile(holder.handle());
    ASSERT_TRUE(taken.ok() && *taken == LockAttempt::Taken);
    platform.answer(QStringLiteral(">1,5|>ferie|OK"));
    menu(QStringLiteral("Angiv a&fspadsering"));
    holder.close();
    EXPECT_EQ(lastDialog(),
              QStringLiteral("Registreringsfilen er låst af et andet program. Prøv igen om lidt."));
    EXPECT_EQ(readBytes(file), kThreeDays);
    platform.answer(QStringLiteral(">1,5|>ferie"));
    menu(QStringLiteral("Angiv a&fspadsering"));
    const auto n = platform.shown.size();
    EXPECT_EQ(platform.shown[n - 2].defaultText + u'|' + platform.shown[n - 1].defaultText,
              QStringLiteral("1,5|ferie"));
    EXPECT_EQ(readBytes(file), kThreeDays + "05-12-2026;3;-;-;-150;2070;-25;ferie\r\n");
}

// A tick reads the store only when its stamp moved, and once more on the tick after, when a
// second change could hide within the stamp's granularity. Each tick once read it whole.
TEST_F(TwoCopiesTest, ATickReadsTheStoreOnlyWhenItMoved) {
    writeBytes(file, kThreeDays);
    store->seed(kHKeyCurrentUser, userStore(file, "05-12-2026 08:00"));
    const auto counted = std::make_shared<FullStore>(store->backend());
    counted->stamp = "a";
    backend = counted;
    ASSERT_TRUE(startForm());
    std::string readsPerTick;
    for (const char* stamp : {"a", "a", "a", "b", "b", "b", ""}) {
        counted->stamp = stamp;
        counted->reads = 0;
        tick();
        readsPerTick += counted->reads > 0 ? 'r' : '-';
    }
    EXPECT_EQ(readsPerTick, "rr-rr-r");
}

// The store failed after the record was saved: the day is not reopened at the next start, nor
// closed again by a later departure (another copy saved it and was killed before forgetting it).
TEST_F(TwoCopiesTest, ADaySavedIsClosedOnce) {
    writeBytes(file, kThreeDays);
    store->seed(kHKeyCurrentUser, userStore(file, " "));
    const auto full = std::make_shared<FullStore>(store->backend());
    backend = full;
    ASSERT_TRUE(startForm());
    arrive("08:00");
    full->full = true;
    platform.answer(QStringLiteral("OK"));
    leave("16:30");
    EXPECT_EQ(lastDialog(),
              QStringLiteral("Dagen er gemt i registreringsfilen, men Horalogs indstillinger kunne "
                             "ikke skrives:\r\nFailed to write new value to Moedt from "
                             "Registry.\r\n\r\nDagen tælles ikke med igen: næste start ser, at "
                             "den er afsluttet. Ret fejlen (f.eks. en fuld disk), før næste "
                             "komme-tid registreres."));
    EXPECT_FALSE(platform.endedWith.has_value());
    EXPECT_EQ(text("Komme_Text") + u'|' + text("Total_CT"), QStringLiteral("|185 ct "));
    EXPECT_EQ(userValue("Moedt"), "05-12-2026 08:00");
    full->full = false;
    window.reset();
    ASSERT_TRUE(startForm());
    EXPECT_EQ(userValue("Moedt"), " ");
    EXPECT_EQ(text("Idag_CT") + u'|' + text("Total_CT"), QStringLiteral("|185 ct "));
    EXPECT_EQ(readBytes(file), kClosed);
    // A departure on a day whose record another copy saved: refused.
    arrive("08:00");
    writeBytes(file, kClosed + "05-12-2026;5;08:00;16:30;800;3820;245;\r\n");
    platform.answer(QStringLiteral("OK"));
    leave("17:00");
    EXPECT_EQ(lastDialog(), kClosedElsewhere);
    EXPECT_EQ(userValue("Moedt"), " ");
    EXPECT_EQ(text("Total_CT"), QStringLiteral("245 ct "));
    // The same date and arrival in an older record is not this day's: the file has not grown.
    arrive("08:00");
    leave("16:30");
    EXPECT_TRUE(readBytes(file).endsWith("245;\r\n05-12-2026;6;08:00;16:30;800;4620;305;\r\n"));
}

// A store that cannot be written once ended the program on the arrival's press, and the arrival
// was lost. Now the user is told why, the window and the typed values stay, nothing is shown as
// done that is not stored, and the next press tries again.
TEST_F(TwoCopiesTest, AStoreThatCannotBeWrittenIsTold) {
    writeBytes(file, kThreeDays);
    store->seed(kHKeyCurrentUser, userStore(file, " "));
    const auto failing = std::make_shared<FullStore>(store->backend());
    backend = failing;
    ASSERT_TRUE(startForm());
    const QString status = text("Status_Label");
    const auto told = [](const char* reason) {
        return QStringLiteral("Opsætningerne kan ikke gemmes: ") + QString::fromUtf8(reason) +
               kUnchanged;
    };
    const struct {
        long failure;
        const char* reason;
    } cases[] = {{kDiskFull, "disken er fuld."},
                 {kAccessDenied, "filen eller mappen er skrivebeskyttet."},
                 {kWriteFault, "Failed to write new value to MoedtFilLaengde from Registry."}};
    for (const auto& c : cases) {
        failing->full = true;
        failing->failure = c.failure;
        platform.answer(QStringLiteral("OK"));
        arrive("08:10");
        EXPECT_EQ(lastDialog(), told(c.reason));
        EXPECT_EQ(text("Komme_Text") + u'|' + text("Status_Label") + u'|' + text("Idag_CT"),
                  QStringLiteral("08:10|") + status + u'|');
        EXPECT_EQ(userValue("Moedt"), " ");
    }
    failing->failure = kAccessDenied;
    platform.answer(QStringLiteral(">8|OK"));
    menu(QStringLiteral("&Arbejdstid"));
    EXPECT_EQ(lastDialog(), told("filen eller mappen er skrivebeskyttet."));
    EXPECT_EQ(text("Arbejds_Menu"), QStringLiteral("&Arbejdstid  (7.4 timer)"));
    const QString moved = inDir("flyttet.dat");
    platform.answer(QStringLiteral("@") + moved + QStringLiteral("|Ja|OK"));
    menu(QStringLiteral("&Filnavn"));
    EXPECT_EQ(lastDialog(), told("filen eller mappen er skrivebeskyttet."));
    EXPECT_EQ(text("Filnavn_Menu"), QStringLiteral("&Filnavn  (") + file + u')');
    EXPECT_FALSE(QFile::exists(moved));
    failing->full = false;
    arrive("08:10");  // the next press tries again
    EXPECT_EQ(userValue("Moedt"), "05-12-2026 08:10");
    EXPECT_EQ(text("Status_Label"), QStringLiteral("Komme tidspunkt 08:10 (817 ct) registreret"));
    EXPECT_FALSE(platform.endedWith.has_value());
    EXPECT_EQ(readBytes(file), kThreeDays);
}

#ifndef _WIN32
// The store's lock held by another copy beyond the wait: told as held, the arrival not shown as
// registered, and stored at the next press once the lock is let go.
TEST_F(TwoCopiesTest, AStoreHeldByAnotherCopyIsTold) {
    startExistingUser(kThreeDays);
    const int held = ::open(QFile::encodeName(store->fileOf(kHKeyCurrentUser) + ".lock"),
                            O_RDWR | O_CREAT, 0600);
    struct flock whole {};
    whole.l_type = F_WRLCK;
    ASSERT_EQ(::fcntl(held, F_OFD_SETLK, &whole), 0);
    struct ShortWait {
        std::chrono::milliseconds saved = hiveFileHooks().lockWait;
        ShortWait() { hiveFileHooks().lockWait = std::chrono::milliseconds(200); }
        ~ShortWait() { hiveFileHooks().lockWait = saved; }
    } shortWait;
    platform.answer(QStringLiteral("OK"));
    arrive("08:10");
    EXPECT_EQ(lastDialog(), QStringLiteral("Opsætningerne kan ikke gemmes: de er låst af et andet "
                                           "Horalog. Prøv igen om lidt.") +
                                kUnchanged);
    EXPECT_EQ(text("Komme_Text") + u'|' + text("Idag_CT"), QStringLiteral("08:10|"));
    EXPECT_EQ(userValue("Moedt"), " ");
    ::close(held);
    arrive("08:10");
    EXPECT_EQ(userValue("Moedt"), "05-12-2026 08:10");
}
#endif

}  // namespace
}  // namespace horalog::testing
