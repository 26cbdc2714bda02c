// The menu commands, each path once: done, cancelled, refused and failed.
#include "form_fixture.h"

namespace horalog::testing {
namespace {

const QByteArray kStart = "x;12;-;-;-;8770;375\r\n";

class CommandsTest : public FormTest {
protected:
    void SetUp() override {
        FormTest::SetUp();
        startExistingUser(kStart);
    }
    QString other() { return inDir("tid/Horalog.Dat"); }
    // Clicks a menu entry with these answers to its dialogs.
    void run(const char* entry, const QString& answers) {
        platform.answer(answers);
        menu(QString::fromUtf8(entry));
    }
    // Chooses a file in the file dialog, then the answers to what follows; the name then in use.
    void choose(const QString& path, const QString& answers, const QString& inUse) {
        run("&Filnavn", u'@' + path + u'|' + answers);
        EXPECT_EQ(stored("Filnavn") + text("Filnavn_Menu"), u"%1&Filnavn  (%1)"_s.arg(inUse));
    }
};

// Time off; a changed daily hours and the lunch switched off both count in the next record.
TEST_F(CommandsTest, TimeOffAndSettingsCountInTheNextRecord) {
    run("Angiv a&fspadsering", u">"_s);  // cancelled
    run("Angiv a&fspadsering", u">1e300|OK"_s);
    EXPECT_EQ(platform.shown.at(0).defaultText + u'|' + lastDialog(),
              u"7,4|Afspadseringen \"1e300\" kan ikke anvendes, fordi tallet er for stort."_s +
                  kUnchanged);
    run("Angiv a&fspadsering", u">-2|>afspadsering"_s);  // hours given back
    EXPECT_EQ(readBytes(file), kStart + "05-12-2026;12;-;-;200;8970;575;afspadsering\r\n");
    EXPECT_EQ(platform.shown.back().defaultText + u'|' + text("Status_Label") + u'|' +
                  text("Total_CT") + text("Periode_CT"),
              u"afspadsering|Afspadsering af -200 ct tilføjet|575 ct 8970 ct "_s);
    run("&Arbejdstid", u">"_s);  // nothing answered: nothing stored
    run("&Arbejdstid", u">1e300|OK"_s);
    EXPECT_EQ(stored("Arbejdstimer") + u'|' + lastDialog().section(u' ', 0, 1),
              u"7.4|Arbejdstiden \"1e300\""_s);
    run("&Arbejdstid", u">7,5"_s);
    EXPECT_EQ(stored("Arbejdstimer") + text("Arbejds_Menu") + text("Status_Label"),
              u"7.5&Arbejdstid  (7.5)Daglige arbejdstid ændret til 7,5"_s);
    arrive("08:00");
    auto* lunch = child<QAction>("Frokost_Menu");
    at(10, 0);
    lunch->trigger();  // the figures of the moment at once: not from 00:00 until the next tick
    EXPECT_EQ(today() + form().windowTitle(), u"200 ct 02:00 Horalogs registrering - 200 ct "_s);
    lunch->trigger();
    gaa()->setText(u"16:30"_s);
    lunch->trigger();
    EXPECT_EQ(text("Idag_CT") + QString::number(lunch->isChecked()), u"850 ct 0"_s);
    click();
    EXPECT_TRUE(readBytes(file).endsWith("05-12-2026;13;08:00;16:30;850;9820;675;\r\n"));
    const QByteArray damaged = readBytes(file) + QByteArray(70 * 1024, 'x');
    writeBytes(file, damaged);  // a crash's tail, 70 KB without a line end: the message, the end
    platform.answer(u">1|>x|OK"_s);
    EXPECT_TRUE(ends(&Flex_Form::Afspadsering_Menu_Click));
    EXPECT_EQ(platform.shown.back().icon, MessageIcon::Exclamation);
    EXPECT_EQ(lastDialog(), fatalFileMessage("Fejl under skrivning til filen: ", file,
                                             u"Filens sidste linje er længere end 64 KB uden "
                                             u"linjeskift; filen er beskadiget."_s,
                                             true));
    EXPECT_EQ(readBytes(file), damaged);
}

// The period reset; the file moved, or kept where it fails (a bad name stored ends later starts).
TEST_F(CommandsTest, PeriodResetAndFileLocation) {
    run("&Nulstil flex periode", u"Nej"_s);
    EXPECT_EQ(lastDialog(), u"Skal denne periode afsluttes,\r\nog totalen nulstilles ?"_s);
    EXPECT_TRUE(platform.shown.back().buttons == MessageButtons::YesNo &&
                platform.shown.back().defaultButton == MessageAnswer::Yes);
    run("&Nulstil flex periode", u"Ja"_s);
    EXPECT_EQ(readBytes(file),
              kStart + "05-12-2026;0;-;-;-;0;375;periode afsluttet/nulstillet\r\n");
    EXPECT_EQ(text("Periode_CT") + text("Periode_Diff") + text("Total_CT") + text("Status_Label"),
              u"0 ct 0 ct 375 ct Flexperiode nulstillet"_s);
    run("&Filnavn", u"@"_s);
    const FileDialogRequest r = platform.shown.back().file;
    EXPECT_EQ(r.title + u'|' + r.folder + u'|' + r.fileName + u'|' + r.filters.join(u'|'),
              u"Indtast navnet på filen med horalogs registreringer:|"_s +
                  QDir::toNativeSeparators(dir->path()) +
                  u"|Horalog.Dat|Dat fil (*.Dat)|Alle filer (*.*)"_s);
    choose(other(), u"OK"_s, file);
    EXPECT_EQ(lastDialog(), u"Mappen \""_s + inDir("tid") + u"\" findes ikke."_s + kUnchanged);
    EXPECT_EQ(r.refusal(other()).error(), lastDialog());  // the same words inside the dialog
    writeBytes(other(), "someone else's\r\n");  // the move fails: the old file stays in use
    choose(other(), u"Ja|OK"_s, file);
    EXPECT_EQ(text("Status_Label") + u'|' + lastDialog(),
              u"Flexperiode nulstillet|Filen %1 kunne ikke flyttes til %2\r\nFejl: %3\r\n\r\n"
              u"Horalogs data gemmes fortsat i %1"_s.arg(file, other(), systemText(EEXIST)));
    QFile::remove(other());
    choose(other(), u"Ja"_s, other());
    EXPECT_EQ(text("Status_Label") + u'|' + lastDialog(),
              u"Filnavn ændret/flyttet til %2|Skal den eksisterende fil: %1\r\nflyttes til: %2"
              u" ?\r\n\r\n(Ved 'No' oprettes en ny tom fil, \r\neller den evt. eksisterende fil "
              u"anvendes)"_s.arg(file, other()));
    writeBytes(file, "y;5;-;-;-;3000;-40\r\n");  // "Nej": the file there is read, or made
    choose(file, u"Nej"_s, file);
    EXPECT_EQ(text("Total_CT"), u"-40 ct "_s);
    const QString third = inDir("ny.dat");
    choose(third, u"Nej|>77"_s, third);
    EXPECT_TRUE(readBytes(third).endsWith("\r\n05-12-2026;0;-;-;-;0;77\r\n"));
    EXPECT_EQ(text("Total_CT"), u"77 ct "_s);
    QFile::remove(third);  // no file at the old path: nothing to ask
    choose(file, {}, file);
}

}  // namespace
}  // namespace horalog::testing
