// Two copies over one file and one store (a desk PC and a laptop sharing a home on the network).
#include "form_fixture.h"
#include "platform/file_sync.h"

namespace horalog::testing {
namespace {

const QByteArray kClosed = kThreeDays + "05-12-2026;4;08:00;16:30;800;3020;185;\r\n";
const QString kClosedElsewhere =
    "Dagen er allerede afsluttet af et andet Horalog, så gå-tiden registreres ikke." + kUnchanged;

class TwoCopiesTest : public FormTest {
protected:
    // The second copy, started over the same folder after the first.
    Flex_Form& second() {
        if (!copyB) {
            platformB.now = platform.now;
            (copyB = newWindow(platformB))->start();
        }
        return *copyB;
    }
    // The texts of A's widgets (or B's) and the stored "Moedt", joined by "|".
    QString seen(std::initializer_list<const char*> names, Flex_Form* w = nullptr) {
        QStringList texts;
        for (const char* name : names) {
            texts << (std::strcmp(name, "Moedt") ? textIn(w ? *w : form(), name) : stored(name));
        }
        return texts.join(u'|');
    }
    QString textsB(std::initializer_list<const char*> names) { return seen(names, &second()); }
    ~TwoCopiesTest() override { EXPECT_TRUE(platformB.allAnswered()); }

    ScriptedPlatform platformB;
    std::unique_ptr<Flex_Form> copyB;
};

// Records build on the file's figures as they are now (A's morning once vanished from B's sums).
TEST_F(TwoCopiesTest, RecordsBuildOnTheFileAsItIsNow) {
    startExistingUser(kThreeDays);
    second();
    arrive("08:00");
    leave("12:00");
    enter(second(), "Komme_Text", "13:00");
    enter(second(), "Gaa_Text", "16:00");
    const QString reread =
        u"Registreringsfilen er ændret af et andet program; tallene er læst igen."_s;
    EXPECT_EQ(textsB({"Status_Label", "Periode_CT", "Total_CT"}), reread + "|2820 ct |-755 ct ");
    platform.answer(">1|>");
    menu("Angiv a&fspadsering");
    EXPECT_EQ(readBytes(file), kThreeDays +
                                   "05-12-2026;4;08:00;12:00;350;2570;-265;\r\n"
                                   "05-12-2026;5;13:00;16:00;250;2820;-755;\r\n"
                                   "05-12-2026;5;-;-;-100;2720;-855;\r\n");
    EXPECT_EQ(text("Total_CT") + text("Status_Label"), "-855 ct " + reread);
}

// A moved the file while B's time off waited, then set the hours and moved it again: B follows.
TEST_F(TwoCopiesTest, AFileMovedAndSettingsChangedOnTheOtherCopyCount) {
    startExistingUser(kThreeDays);
    const QString moved = inDir("flyttet.dat"), again = inDir("igen.dat");
    platformB.answer(">1");
    platformB.unscripted = [&](const ShownDialog&) {  // the comment, asked while A moves it
        platform.answer("@" + moved + "|Ja");
        menu("&Filnavn");
        return QStringLiteral(">ferie");
    };
    second().findChild<QAction*>("Afspadsering_Menu")->trigger();
    EXPECT_EQ(textsB({"Filnavn_Menu", "Total_CT"}), "&Filnavn  (" + moved + ")|25 ct ");
    EXPECT_FALSE(QFile::exists(file));
    second().run(&Flex_Form::Udregn_Timer_Timer);
    second().run(&Flex_Form::Udregn_Timer_Timer);  // the store stood still: B stops reading it
    platform.answer(">8|@" + again + "|Ja");
    menu("&Arbejdstid");
    menu("&Filnavn");
    second().run(&Flex_Form::Udregn_Timer_Timer);
    EXPECT_EQ(textsB({"Status_Label", "Arbejds_Menu", "Filnavn_Menu"}),
              u"Opsætningerne er ændret i et andet Horalog og gælder nu også her.|&Arbejdstid  "
              u"(8)|&Filnavn  (%1)"_s.arg(again));
    enter(second(), "Komme_Text", "08:00");
    enter(second(), "Gaa_Text", "16:30");
    const QByteArray timeOff = kThreeDays + "05-12-2026;3;-;-;-100;2120;25;ferie\r\n";
    EXPECT_EQ(readBytes(again), timeOff + "05-12-2026;4;08:00;16:30;800;2920;25;\r\n");
}

// B once stored its proposal over A's 08:00; a day A closed is followed, its departure refused.
TEST_F(TwoCopiesTest, AnArrivalAndADayClosedElsewhereAreFollowed) {
    startExistingUser(kThreeDays);
    second();
    arrive("08:00");
    platformB.now.setTime(QTime(14, 37));
    enter(second(), "Komme_Text", "14:37");
    EXPECT_EQ(textsB({"Status_Label", "Komme_Text", "Idag_CT", "Moedt"}),
              "Komme tidspunkt 08:00 er registreret i et andet Horalog.|08:00|612 ct |05-12-2026 "
              "08:00");
    leave("16:30");
    EXPECT_EQ(readBytes(file), kClosed);
    second().run(&Flex_Form::Udregn_Timer_Timer);
    EXPECT_EQ(textsB({"Status_Label", "Idag_CT", "Gaa_Text", "Total_CT", "Komme_Text"}),
              "Dagen er afsluttet i et andet Horalog; tallene er læst igen.|||185 ct |13:37");
    copyB.reset();
    fresh();  // B's departure before its tick: the arrival is read afresh from the store first
    startExistingUser(kThreeDays);
    arrive("08:00");
    EXPECT_EQ(textsB({"Komme_Text"}), "08:00");
    leave("16:00");
    platformB.answer("OK");
    enter(second(), "Gaa_Text", "16:30");
    EXPECT_EQ(platformB.shown.back().text, kClosedElsewhere);
    EXPECT_EQ(readBytes(file), kThreeDays + "05-12-2026;4;08:00;16:00;750;2970;135;\r\n");
    EXPECT_EQ(textsB({"Gaa_Text", "Idag_CT", "Total_CT", "Moedt"}), "||135 ct | ");
}

// Another program's lock on the file (once a 5 s freeze and an end): told, and what was typed kept.
TEST_F(TwoCopiesTest, ALockHeldByAnotherProgramIsTold) {
    startExistingUser(kThreeDays);
    QFile holder(file);
    ASSERT_TRUE(holder.open(QIODevice::ReadWrite));
    ASSERT_EQ(tryLockFile(holder.handle()).value(), LockAttempt::Taken);
    platform.answer(">1,5|>ferie|OK");
    menu("Angiv a&fspadsering");
    holder.close();
    EXPECT_EQ(lastDialog(), "Registreringsfilen er låst af et andet program. Prøv igen om lidt.");
    platform.answer(">1,5|>ferie");
    menu("Angiv a&fspadsering");
    EXPECT_EQ(platform.shown.end()[-2].defaultText + u'|' + platform.shown.back().defaultText,
              "1,5|ferie");
    EXPECT_EQ(readBytes(file), kThreeDays + "05-12-2026;3;-;-;-150;2070;-25;ferie\r\n");
}

// A store that cannot be written (once the program's end): told why, typed values and a day kept.
TEST_F(TwoCopiesTest, AStoreThatCannotBeWrittenIsTold) {
    const auto full = std::make_shared<FullStore>(store->backend());
    backend = full;
    startExistingUser(kThreeDays);
    arrive("08:00");
    full->full = true;
    platform.answer("OK");
    leave("16:30");
    EXPECT_EQ(lastDialog(),
              "Dagen er gemt i registreringsfilen, men Horalogs indstillinger kunne ikke skrives:"
              "\r\nFailed to write new value to Moedt from Registry.\r\n\r\nDagen tælles ikke med "
              "igen: næste start ser, at den er afsluttet. Ret fejlen (f.eks. en fuld disk), før "
              "næste komme-tid registreres.");
    EXPECT_EQ(seen({"Komme_Text", "Total_CT", "Moedt"}), "|185 ct |05-12-2026 08:00");
    EXPECT_EQ(readBytes(file), kClosed);
    full->full = false;
    arrive("08:00");  // a departure on a day whose record another copy saved: refused
    writeBytes(file, kClosed + "05-12-2026;5;08:00;16:30;800;3820;245;\r\n");
    platform.answer("OK");
    leave("17:00");
    EXPECT_EQ(lastDialog() + u'|' + seen({"Moedt", "Total_CT"}), kClosedElsewhere + "| |245 ct ");
    // The same date and arrival in an older record is not this day's: a sixth record, checked last.
    arrive("08:00");
    leave("16:30");
    const QString status = text("Status_Label");
    const std::pair<long, const char*> cases[] = {
        {kDiskFull, "Opsætningerne kan ikke gemmes: disken er fuld."},
        {kLockViolation,
         "Opsætningerne kan ikke gemmes: de er låst af et andet Horalog. Prøv igen om lidt."},
        {kWriteFault,
         "Opsætningerne kan ikke gemmes: Failed to write new value to MoedtFilLaengde from "
         "Registry."},
        {kAccessDenied, "Opsætningerne kan ikke gemmes: filen eller mappen er skrivebeskyttet."}};
    const QString readOnly = QString::fromUtf8(cases[3].second) + kUnchanged;
    full->full = true;
    for (const auto& [failure, message] : cases) {
        full->failure = failure;
        platform.answer("OK");
        arrive("08:10");
        EXPECT_EQ(lastDialog() + u'|' + seen({"Komme_Text", "Status_Label", "Idag_CT", "Moedt"}),
                  QString::fromUtf8(message) + kUnchanged + "|08:10|" + status + "|| ");
    }
    const QString moved = inDir("flyttet.dat");
    platform.answer(">8|OK|@" + moved + "|Ja|OK");
    menu("&Arbejdstid");
    menu("&Filnavn");
    EXPECT_EQ(platform.shown.end()[-4].text + lastDialog(), readOnly + readOnly);
    EXPECT_EQ(text("Arbejds_Menu") + text("Filnavn_Menu"),
              "&Arbejdstid  (7.4 timer)&Filnavn  (" + file + u')');
    EXPECT_FALSE(QFile::exists(moved));
    full->full = false;
    arrive("08:10");
    EXPECT_EQ(seen({"Moedt", "Status_Label"}),
              "05-12-2026 08:10|Komme tidspunkt 08:10 (817 ct) registreret");
    EXPECT_FALSE(platform.endedWith.has_value());
    EXPECT_TRUE(readBytes(file).endsWith("245;\r\n05-12-2026;6;08:00;16:30;800;4620;305;\r\n"));
    std::string readsPerTick;  // a tick reads the store when its stamp moved and on the tick after
    for (const char* stamp : {"a", "a", "a", "b", "b", "b", ""}) {
        full->stamp = stamp;
        full->reads = 0;
        tick();
        readsPerTick += full->reads > 0 ? 'r' : '-';
    }
    EXPECT_EQ(readsPerTick, "rr-rr-r");
}

}  // namespace
}  // namespace horalog::testing
