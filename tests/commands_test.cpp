// The menu commands, each path once: done, cancelled, refused and failed.
#ifndef _WIN32
#include <fcntl.h>
#include <linux/fs.h>
#include <sys/ioctl.h>
#include <sys/stat.h>
#include <unistd.h>
#endif

#include "form_fixture.h"

namespace horalog::testing {
namespace {

class CommandsTest : public FormTest {
protected:
    void SetUp() override {
        FormTest::SetUp();
        startExistingUser("x;12;-;-;-;8770;375\r\n");
    }
    QString other() { return inDir("tid/Horalog.Dat"); }
    // Clicks a menu entry with these answers to its dialogs.
    void run(const char* entry, const QString& answers) {
        platform.answer(answers);
        menu(QString::fromUtf8(entry));
    }
    // Chooses a file in the file dialog, then the answers to what follows.
    void choose(const QString& path, const QString& answers = {}) {
        run("&Filnavn", u'@' + path + u'|' + answers);
    }
    void expectPath(const QString& path) {
        EXPECT_EQ(userValue("Filnavn"), path.toStdString());
        EXPECT_EQ(text("Filnavn_Menu"), u"&Filnavn  ("_s + path + u')');
    }
};

TEST_F(CommandsTest, TimeOff) {
    const QByteArray before = readBytes(file);
    run("Angiv a&fspadsering", u">"_s);  // cancelled
    run("Angiv a&fspadsering", u">1e300|OK"_s);
    EXPECT_EQ(readBytes(file), before);
    EXPECT_EQ(platform.shown.at(0).defaultText, u"7,4"_s);
    EXPECT_EQ(
        lastDialog(),
        u"Afspadseringen \"1e300\" kan ikke anvendes, fordi tallet er for stort."_s + kUnchanged);
    run("Angiv a&fspadsering", u">7,4|>afspadsering"_s);
    EXPECT_EQ(platform.shown.back().defaultText, u"afspadsering"_s);
    EXPECT_TRUE(readBytes(file).endsWith("05-12-2026;12;-;-;-740;8030;-365;afspadsering\r\n"));
    EXPECT_EQ(text("Status_Label") + u'|' + text("Total_CT") + text("Periode_CT"),
              u"Afspadsering af 740 ct tilføjet|-365 ct 8030 ct "_s);
    run("Angiv a&fspadsering", u">-2|>"_s);  // hours given back
    EXPECT_TRUE(readBytes(file).endsWith("05-12-2026;12;-;-;200;8230;-165;\r\n"));
    EXPECT_EQ(text("Status_Label"), u"Afspadsering af -200 ct tilføjet"_s);
    // A damaged tail (a crash's line of 70 KB without a line end): the message, and the end.
    const QByteArray damaged = readBytes(file) + QByteArray(70 * 1024, 'x');
    writeBytes(file, damaged);
    platform.answer(u">1|>x|OK"_s);
    EXPECT_TRUE(ends(&Flex_Form::Afspadsering_Menu_Click));
    EXPECT_EQ(platform.shown.back().icon, MessageIcon::Exclamation);
    EXPECT_EQ(lastDialog(), fatalFileMessage("Fejl under skrivning til filen: ", file,
                                             u"Filens sidste linje er længere end 64 KB uden "
                                             u"linjeskift; filen er beskadiget."_s,
                                             true));
    EXPECT_EQ(readBytes(file), damaged);
}

TEST_F(CommandsTest, AboutAndPeriodReset) {
    run("&Om Horalog", u"OK"_s);
    EXPECT_TRUE(
        (platform.shown.back().title + u'|' + lastDialog())
            .startsWith(u"Om Horalogs registrering|Horalogs registrering, Version 1.7.0\r\n"
                        "Registrer og udregner horalog udfra komme & gå tidspunkt.\r\n\r\n"));
    const QByteArray before = readBytes(file);
    run("&Nulstil flex periode", u"Nej"_s);
    EXPECT_EQ(readBytes(file), before);
    EXPECT_EQ(lastDialog(), u"Skal denne periode afsluttes,\r\nog totalen nulstilles ?"_s);
    EXPECT_TRUE(platform.shown.back().buttons == MessageButtons::YesNo &&
                platform.shown.back().defaultButton == MessageAnswer::Yes);
    run("&Nulstil flex periode", u"Ja"_s);
    EXPECT_TRUE(
        readBytes(file).endsWith("05-12-2026;0;-;-;-;0;375;periode afsluttet/nulstillet\r\n"));
    EXPECT_EQ(text("Periode_CT") + text("Periode_Diff") + text("Total_CT") + text("Status_Label"),
              u"0 ct 0 ct 375 ct Flexperiode nulstillet"_s);
}

// A changed daily hours and the lunch switched off both count in the next record.
TEST_F(CommandsTest, SettingsCountInTheNextRecord) {
    EXPECT_EQ(text("Arbejds_Menu") + text("Filnavn_Menu"),
              u"&Arbejdstid  (7.4 timer)&Filnavn  ("_s + file + u')');
    run("&Arbejdstid", u">"_s);
    run("&Arbejdstid", u">1e300|OK"_s);
    EXPECT_TRUE(lastDialog().startsWith(u"Arbejdstiden \"1e300\""_s));
    run("&Arbejdstid", u">7,5"_s);
    EXPECT_EQ(userValue("Arbejdstimer"), "7.5");
    EXPECT_EQ(text("Arbejds_Menu") + text("Status_Label"),
              u"&Arbejdstid  (7.5)Daglige arbejdstid ændret til 7,5"_s);
    arrive("08:00");
    auto* lunch = child<QAction>("Frokost_Menu");
    at(10, 0);
    lunch->trigger();  // the figures of the moment at once: not from 00:00 until the next tick
    EXPECT_EQ(today() + form().windowTitle(), u"200 ct 02:00 Horalogs registrering - 200 ct "_s);
    lunch->trigger();
    gaa()->setText(u"16:30"_s);
    lunch->trigger();
    EXPECT_FALSE(lunch->isChecked());
    EXPECT_EQ(text("Idag_CT"), u"850 ct "_s);
    click();
    EXPECT_TRUE(readBytes(file).endsWith("05-12-2026;13;08:00;16:30;850;9620;475;\r\n"));
}

TEST_F(CommandsTest, FileLocationKeptWhenTheNewOneFails) {
    run("&Filnavn", u"@"_s);
    const FileDialogRequest r = platform.shown.at(0).file;
    EXPECT_EQ(r.title + u'|' + r.folder + u'|' + r.fileName + u'|' + r.filters.join(u'|'),
              u"Indtast navnet på filen med horalogs registreringer:|"_s +
                  QDir::toNativeSeparators(dir->path()) +
                  u"|Horalog.Dat|Dat fil (*.Dat)|Alle filer (*.*)"_s);
    // A name in no folder was once stored, and every later start ended on the file error.
    choose(other(), u"OK"_s);
    EXPECT_EQ(lastDialog(), u"Mappen \""_s + inDir("tid") + u"\" findes ikke."_s + kUnchanged);
    EXPECT_EQ(r.refusal(other()).error(), lastDialog());  // the same words inside the dialog
    expectPath(file);
    // A name taken by another file: the move fails and the old file stays in use.
    writeBytes(other(), "someone else's\r\n");
    choose(other(), u"Ja|OK"_s);
    EXPECT_EQ(lastDialog(), u"Filen "_s + file + u" kunne ikke flyttes til "_s + other() +
                                u"\r\nFejl: "_s + systemText(EEXIST) +
                                u"\r\n\r\nHoralogs data gemmes fortsat i "_s + file);
    expectPath(file);
    EXPECT_EQ(text("Status_Label"), QString());
}

#ifndef _WIN32
// A file its user cannot write: read-only, or for root (who writes those) immutable meanwhile.
struct Unwritable {
    explicit Unwritable(const QString& path) : fd(::open(QFile::encodeName(path), O_RDONLY)) {
        made = ::geteuid() != 0 ? ::fchmod(fd, 0444) == 0 : immutable(true);
    }
    ~Unwritable() {
        if (made && ::geteuid() == 0) {
            immutable(false);
        }
        ::close(fd);
    }
    bool immutable(bool on) const {
        int flags = 0;
        const bool read = ::ioctl(fd, FS_IOC_GETFLAGS, &flags) == 0;
        flags = on ? flags | FS_IMMUTABLE_FL : flags & ~FS_IMMUTABLE_FL;
        return read && ::ioctl(fd, FS_IOC_SETFLAGS, &flags) == 0;
    }
    int fd;
    bool made = false;
};

// A FIFO or folder once froze the window, a read-only file ended every departure: all refused.
TEST_F(CommandsTest, FileLocationRefusesWhatCannotHoldTheRecords) {
    const QString fifo = inDir("fifo.dat");
    ASSERT_EQ(::mkfifo(QFile::encodeName(fifo).constData(), 0600), 0);
    const QString readOnly = writeBytes(inDir("laast.dat"), "h\r\nx;0;-;-;-;0;0\r\n");
    const Unwritable locked(readOnly);
    const std::pair<QString, QString> refused[] = {
        {fifo, u'"' + fifo + u"\" er ikke en almindelig fil."_s},
        {dir->path(), u'"' + dir->path() + u"\" er ikke en almindelig fil."_s},
        {u"/proc/Horalog.Dat"_s, u"Der kan ikke gemmes filer i mappen \"/proc\"."_s},  // no one's
        {readOnly, u"Der kan ikke skrives i filen \""_s + readOnly + u"\"."_s}};
    for (const auto& [chosen, refusal] : refused) {
        if (chosen == readOnly && !locked.made) {  // the last row
            GTEST_SKIP() << "root writes a read-only file, and there is no immutable flag here";
        }
        choose(chosen, u"OK"_s);
        EXPECT_EQ(lastDialog(), refusal + kUnchanged);
        expectPath(file);
    }
}
#endif

TEST_F(CommandsTest, FileLocationChanged) {
    const QByteArray content = readBytes(file);
    QDir().mkpath(QFileInfo(other()).path());
    choose(other(), u"Ja"_s);
    EXPECT_EQ(lastDialog(), u"Skal den eksisterende fil: "_s + file + u"\r\nflyttes til: "_s +
                                other() +
                                u" ?\r\n\r\n(Ved 'No' oprettes en ny tom fil, \r\neller den evt. "
                                u"eksisterende fil anvendes)"_s);
    EXPECT_EQ(readBytes(other()), content);
    EXPECT_FALSE(QFile::exists(file));
    expectPath(other());
    EXPECT_EQ(text("Status_Label"), u"Filnavn ændret/flyttet til "_s + other());
    // "Nej": the file there is read, or made with a new balance.
    writeBytes(file, "y;5;-;-;-;3000;-40\r\n");
    choose(file, u"Nej"_s);
    EXPECT_EQ(text("Total_CT"), u"-40 ct "_s);
    const QString third = inDir("ny.dat");
    choose(third, u"Nej|>77"_s);
    EXPECT_TRUE(readBytes(third).endsWith("\r\n05-12-2026;0;-;-;-;0;77\r\n"));
    EXPECT_EQ(text("Total_CT"), u"77 ct "_s);
    expectPath(third);
    QFile::remove(third);  // no file at the old path: nothing to ask
    choose(file);
    expectPath(file);
}

}  // namespace
}  // namespace horalog::testing
