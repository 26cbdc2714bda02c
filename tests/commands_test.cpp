// The menu commands, each path once: done, cancelled, refused and failed.
#include <QDir>
#include <QFileInfo>

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
        EXPECT_EQ(text("Filnavn_Menu"), QStringLiteral("&Filnavn  (") + path + u')');
    }
};

TEST_F(CommandsTest, TimeOff) {
    const QByteArray before = readBytes(file);
    run("Angiv a&fspadsering", QStringLiteral(">"));  // cancelled
    run("Angiv a&fspadsering", QStringLiteral(">1e300|OK"));
    EXPECT_EQ(readBytes(file), before);
    EXPECT_EQ(platform.shown.at(0).defaultText, QStringLiteral("7,4"));
    EXPECT_EQ(lastDialog(), QStringLiteral("Afspadseringen \"1e300\" kan ikke anvendes, fordi "
                                           "tallet er for stort.") +
                                kUnchanged);
    run("Angiv a&fspadsering", QStringLiteral(">7,4|>afspadsering"));
    EXPECT_EQ(platform.shown.back().defaultText, QStringLiteral("afspadsering"));
    EXPECT_TRUE(readBytes(file).endsWith("05-12-2026;12;-;-;-740;8030;-365;afspadsering\r\n"));
    EXPECT_EQ(text("Status_Label") + u'|' + text("Total_CT") + text("Periode_CT"),
              QStringLiteral("Afspadsering af 740 ct tilføjet|-365 ct 8030 ct "));
    run("Angiv a&fspadsering", QStringLiteral(">-2|>"));  // hours given back
    EXPECT_TRUE(readBytes(file).endsWith("05-12-2026;12;-;-;200;8230;-165;\r\n"));
    EXPECT_EQ(text("Status_Label"), QStringLiteral("Afspadsering af -200 ct tilføjet"));
    // A damaged tail (a crash's line of 70 KB without a line end): the message, and the end.
    const QByteArray damaged = readBytes(file) + QByteArray(70 * 1024, 'x');
    writeBytes(file, damaged);
    platform.answer(QStringLiteral(">1|>x|OK"));
    EXPECT_TRUE(ends(&Flex_Form::Afspadsering_Menu_Click));
    EXPECT_EQ(platform.shown.back().icon, MessageIcon::Exclamation);
    EXPECT_EQ(lastDialog(),
              fatalFileMessage("Fejl under skrivning til filen: ", file,
                               QStringLiteral("Filens sidste linje er længere end 64 KB uden "
                                              "linjeskift; filen er beskadiget."),
                               true));
    EXPECT_EQ(readBytes(file), damaged);
}

TEST_F(CommandsTest, PeriodReset) {
    const QByteArray before = readBytes(file);
    run("&Nulstil flex periode", QStringLiteral("Nej"));
    EXPECT_EQ(readBytes(file), before);
    EXPECT_EQ(lastDialog(),
              QStringLiteral("Skal denne periode afsluttes,\r\nog totalen nulstilles ?"));
    EXPECT_TRUE(platform.shown.back().buttons == MessageButtons::YesNo &&
                platform.shown.back().defaultButton == MessageAnswer::Yes);
    run("&Nulstil flex periode", QStringLiteral("Ja"));
    EXPECT_TRUE(
        readBytes(file).endsWith("05-12-2026;0;-;-;-;0;375;periode afsluttet/nulstillet\r\n"));
    EXPECT_EQ(text("Periode_CT") + text("Periode_Diff") + text("Total_CT") + text("Status_Label"),
              QStringLiteral("0 ct 0 ct 375 ct Flexperiode nulstillet"));
}

// A changed daily hours and the lunch switched off both count in the next record.
TEST_F(CommandsTest, SettingsCountInTheNextRecord) {
    EXPECT_EQ(text("Arbejds_Menu") + text("Filnavn_Menu"),
              QStringLiteral("&Arbejdstid  (7.4 timer)&Filnavn  (") + file + u')');
    run("&Arbejdstid", QStringLiteral(">"));
    run("&Arbejdstid", QStringLiteral(">1e300|OK"));
    EXPECT_TRUE(lastDialog().startsWith(QStringLiteral("Arbejdstiden \"1e300\"")));
    run("&Arbejdstid", QStringLiteral(">7,5"));
    EXPECT_EQ(userValue("Arbejdstimer"), "7.5");
    EXPECT_EQ(text("Arbejds_Menu") + text("Status_Label"),
              QStringLiteral("&Arbejdstid  (7.5)Daglige arbejdstid ændret til 7,5"));
    arrive("08:00");
    auto* lunch = child<QAction>("Frokost_Menu");
    at(10, 0);
    lunch->trigger();  // the figures of the moment at once: not from 00:00 until the next tick
    EXPECT_EQ(today() + form().windowTitle(),
              QStringLiteral("200 ct 02:00 Horalogs registrering - 200 ct "));
    lunch->trigger();
    gaa()->setText(QStringLiteral("16:30"));
    lunch->trigger();
    EXPECT_FALSE(lunch->isChecked());
    EXPECT_EQ(text("Idag_CT"), QStringLiteral("850 ct "));
    click();
    EXPECT_TRUE(readBytes(file).endsWith("05-12-2026;13;08:00;16:30;850;9620;475;\r\n"));
}

TEST_F(CommandsTest, About) {
    run("&Om Horalog", QStringLiteral("OK"));
    EXPECT_TRUE(
        (platform.shown.back().title + u'|' + lastDialog())
            .startsWith(u"Om Horalogs registrering|Horalogs registrering, Version 1.7.0\r\n"
                        "Registrer og udregner horalog udfra komme & gå tidspunkt.\r\n\r\n"));
}

TEST_F(CommandsTest, FileLocationKeptWhenTheNewOneFails) {
    run("&Filnavn", QStringLiteral("@"));
    const FileDialogRequest r = platform.shown.at(0).file;
    EXPECT_EQ(r.title + u'|' + r.folder + u'|' + r.fileName + u'|' + r.filters.join(u'|'),
              QStringLiteral("Indtast navnet på filen med horalogs registreringer:|") +
                  QDir::toNativeSeparators(dir->path()) +
                  QStringLiteral("|Horalog.Dat|Dat fil (*.Dat)|Alle filer (*.*)"));
    // A name in no folder was once stored, and every later start ended on the file error.
    choose(other(), QStringLiteral("OK"));
    EXPECT_EQ(lastDialog(), QStringLiteral("Mappen \"") + inDir("tid") +
                                QStringLiteral("\" findes ikke.") + kUnchanged);
    EXPECT_EQ(r.refusal(other()).error(), lastDialog());  // the same words inside the dialog
    expectPath(file);
    // A name taken by another file: the move fails and the old file stays in use.
    writeBytes(other(), "someone else's\r\n");
    choose(other(), QStringLiteral("Ja|OK"));
    EXPECT_EQ(lastDialog(), QStringLiteral("Filen ") + file +
                                QStringLiteral(" kunne ikke flyttes til ") + other() +
                                QStringLiteral("\r\nFejl: ") + systemText(EEXIST) +
                                QStringLiteral("\r\n\r\nHoralogs data gemmes fortsat i ") + file);
    expectPath(file);
    EXPECT_EQ(text("Status_Label"), QString());
}

#ifndef _WIN32
// A file its user cannot write: read-only, or for root (who writes those) immutable while this
// lives.
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
        if (::ioctl(fd, FS_IOC_GETFLAGS, &flags) != 0) {
            return false;
        }
        flags = on ? flags | FS_IMMUTABLE_FL : flags & ~FS_IMMUTABLE_FL;
        return ::ioctl(fd, FS_IOC_SETFLAGS, &flags) == 0;
    }
    int fd;
    bool made = false;
};

// A FIFO or a folder at the chosen name once froze the window; a read-only file was stored, and
// every departure then ended the program. Each is refused, and the file stays where it was.
TEST_F(CommandsTest, FileLocationRefusesWhatCannotHoldTheRecords) {
    const QString fifo = inDir("fifo.dat");
    ASSERT_EQ(::mkfifo(QFile::encodeName(fifo).constData(), 0600), 0);
    const QString readOnly = writeBytes(inDir("laast.dat"), "h\r\nx;0;-;-;-;0;0\r\n");
    const Unwritable locked(readOnly);
    const std::pair<QString, QString> refused[] = {
        {fifo, u'"' + fifo + QStringLiteral("\" er ikke en almindelig fil.")},
        {dir->path(), u'"' + dir->path() + QStringLiteral("\" er ikke en almindelig fil.")},
        {QStringLiteral("/proc/Horalog.Dat"),  // a folder no one may make files in
         QStringLiteral("Der kan ikke gemmes filer i mappen \"/proc\".")},
        {readOnly,
         QStringLiteral("Der kan ikke skrives i filen \"") + readOnly + QStringLiteral("\".")}};
    for (const auto& [chosen, refusal] : refused) {
        if (chosen == readOnly && !locked.made) {  // the last row
            GTEST_SKIP()
                << "root writes a read-only file, and this file system has no immutable flag";
        }
        choose(chosen, QStringLiteral("OK"));
        EXPECT_EQ(lastDialog(), refusal + kUnchanged);
        expectPath(file);
    }
}
#endif

TEST_F(CommandsTest, FileLocationChanged) {
    const QByteArray content = readBytes(file);
    QDir().mkpath(QFileInfo(other()).path());
    choose(other(), QStringLiteral("Ja"));
    EXPECT_EQ(lastDialog(), QStringLiteral("Skal den eksisterende fil: ") + file +
                                QStringLiteral("\r\nflyttes til: ") + other() +
                                QStringLiteral(" ?\r\n\r\n(Ved 'No' oprettes en ny tom fil, \r\n"
                                               "eller den evt. eksisterende fil anvendes)"));
    EXPECT_EQ(readBytes(other()), content);
    EXPECT_FALSE(QFile::exists(file));
    expectPath(other());
    EXPECT_EQ(text("Status_Label"), QStringLiteral("Filnavn ændret/flyttet til ") + other());
    // "Nej": the file there is read, or made with a new balance.
    writeBytes(file, "y;5;-;-;-;3000;-40\r\n");
    choose(file, QStringLiteral("Nej"));
    EXPECT_EQ(text("Total_CT"), QStringLiteral("-40 ct "));
    const QString third = inDir("ny.dat");
    choose(third, QStringLiteral("Nej|>77"));
    EXPECT_TRUE(readBytes(third).endsWith("\r\n05-12-2026;0;-;-;-;0;77\r\n"));
    EXPECT_EQ(text("Total_CT"), QStringLiteral("77 ct "));
    expectPath(third);
    QFile::remove(third);  // no file at the old path: nothing to ask
    choose(file);
    expectPath(file);
}

}  // namespace
}  // namespace horalog::testing
