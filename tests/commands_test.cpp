// The menu commands: time off, period reset, daily hours, lunch and the file location.
#include <QAction>
#include <QApplication>
#include <QDir>
#include <QFileDialog>
#include <QFileInfo>
#include <QLineEdit>
#include <QMessageBox>
#include <QPushButton>
#include <QTimer>
#include <functional>

#include "form_fixture.h"
#include "platform/qt_platform.h"

namespace horalog::testing {
namespace {

const QString kTimeOffPrompt = QStringLiteral(
    "Angiv antal timer afspadseret:\r\n(Der fratrækkes ikke automatisk frokost og pauser)");

class CommandsTest : public FormTest {
protected:
    // An existing user whose file ends with these figures.
    void startWith(Figures f) {
        seedExistingUser(
            QStringLiteral("x;%1;-;-;-;%2;%3\r\n").arg(f.dage).arg(f.sum).arg(f.total).toLatin1());
        ASSERT_TRUE(startForm());
    }
    QByteArray lastLine() {
        const QList<QByteArray> lines = readBytes(file).split('\n');
        return lines.size() >= 2 ? lines[lines.size() - 2] : QByteArray();
    }
    QString caption(const char* action) { return child<QAction>(action)->text(); }
};

TEST_F(CommandsTest, TimeOff) {
    const struct {
        const char* hours;
        const char* comment;
        Figures before;
        Figures after;
        QByteArray tail;
        const char* status;
    } cases[] = {
        {"7,4",
         "afspadsering",
         {12, 8770, 375},
         {12, 8030, -365},
         ";12;-;-;-740;8030;-365;afspadsering\r",
         "Afspadsering af 740 ct tilføjet"},
        {"0.125",
         "x",
         {0, 100, 101},
         {0, 88, 88},
         ";0;-;-;-12,5;88;88;x\r",
         "Afspadsering af 12,5 ct tilføjet"},
        {"-2",
         "",
         {1, 0, 0},
         {1, 200, 200},
         ";1;-;-;200;200;200;\r",
         "Afspadsering af -200 ct tilføjet"},
        {"7:30",
         "a;b",
         {0, 0, 0},
         {0, -700, -700},
         ";0;-;-;-700;-700;-700;a;b\r",
         "Afspadsering af 700 ct tilføjet"},
        {"7,333",
         "",
         {0, 0, 0},
         {0, -733, -733},
         ";0;-;-;-733,3;-733;-733;\r",
         "Afspadsering af 733,3 ct tilføjet"},
    };
    for (const auto& c : cases) {
        fresh();
        startWith(c.before);
        platform.answerInput(QString::fromUtf8(c.hours));
        platform.answerInput(QString::fromUtf8(c.comment));
        ASSERT_FALSE(ends(&Flex_Form::Afspadsering_Menu_Click));
        EXPECT_EQ(platform.shown.at(0).defaultText, QStringLiteral("7,4"));
        EXPECT_EQ(lastLine(), "05-12-2026" + c.tail) << c.hours;
        EXPECT_EQ((Figures{probe().Periode_Dage(), probe().Periode_Sum(), probe().Flex_Total()}),
                  c.after);
        EXPECT_EQ(text("Status_Label"), QString::fromUtf8(c.status));
        EXPECT_EQ(text("Total_CT"), QStringLiteral("%1 ct ").arg(c.after.total));
    }
}

TEST_F(CommandsTest, TimeOffUnderADecimalPoint) {
    platform.decimal = QLatin1Char('.');
    startWith({0, 100, 101});
    platform.answerInput(QStringLiteral("0.125"));
    platform.answerInput(QString());
    ASSERT_FALSE(ends(&Flex_Form::Afspadsering_Menu_Click));
    const ShownDialog& first = platform.shown.at(0);
    EXPECT_EQ(first.title, QStringLiteral("Afspadsering"));
    EXPECT_EQ(first.text, kTimeOffPrompt);
    EXPECT_EQ(first.defaultText, QStringLiteral("7.4"));
    const ShownDialog& second = platform.shown.at(1);
    EXPECT_EQ(second.title, QStringLiteral("Afspadsering"));
    EXPECT_EQ(second.text, QStringLiteral("Indtast evt. bemærkning til afspadsering:\r\n(Blot "
                                          "en husktekst eller kommentar)"));
    EXPECT_EQ(second.defaultText, QStringLiteral("afspadsering"));
    EXPECT_EQ(lastLine(), "05-12-2026;0;-;-;-12.5;88;88;\r");
}

TEST_F(CommandsTest, TimeOffNothingDone) {
    for (const char* answer : {"", "0", "abc"}) {
        fresh();
        startWith({1, 2, 3});
        const QByteArray before = readBytes(file);
        platform.answerInput(QLatin1String(answer));
        ASSERT_FALSE(ends(&Flex_Form::Afspadsering_Menu_Click));
        EXPECT_EQ(platform.shown.size(), 1u);  // no second box
        EXPECT_EQ(readBytes(file), before);
        EXPECT_EQ(probe().Flex_Total(), 3);
    }
}

// Such characters were once written as "?" without a word.
TEST_F(CommandsTest, TimeOffCommentTheFileCannotHoldIsRefused) {
    startWith({1, 2, 3});
    const QByteArray before = readBytes(file);
    platform.answerInput(QStringLiteral("1"));
    platform.answerInput(QStringLiteral("Łódź 😀 ok"));
    platform.answerMessage(MessageAnswer::Ok);
    ASSERT_FALSE(ends(&Flex_Form::Afspadsering_Menu_Click));
    const ShownDialog& d = platform.shown.back();
    EXPECT_EQ(d.icon, MessageIcon::Exclamation);
    EXPECT_EQ(d.text, QStringLiteral("Bemærkningen \"Łódź 😀 ok\" kan ikke gemmes, fordi filen "
                                     "ikke kan rumme tegnene \"Łź😀\".\r\n\r\nIntet er ændret."));
    EXPECT_EQ(readBytes(file), before);
    EXPECT_EQ(text("Total_CT"), QStringLiteral("3 ct "));
}

TEST_F(CommandsTest, TimeOffWriteFailureEndsTheProgram) {
    startWith({0, 0, 0});
    probe().Filnavn() = QStringLiteral("/dev/full");
    platform.answerInput(QStringLiteral("1"));
    platform.answerInput(QStringLiteral("x"));
    platform.answerMessage(MessageAnswer::Ok);
    EXPECT_TRUE(ends(&Flex_Form::Afspadsering_Menu_Click));
    EXPECT_EQ(
        platform.shown.back().text,
        QStringLiteral(
            "Fejl under skrivning til filen: /dev/full\r\nFejl: No space left on device\r\n\r\n"
            "Programmet kan ikke fortsætte før fejlen er rettet."));
}

TEST_F(CommandsTest, PeriodReset) {
    startWith({12, 8030, -365});
    platform.answerMessage(MessageAnswer::Yes);
    ASSERT_FALSE(ends(&Flex_Form::Nulstil_Menu_Click));
    const ShownDialog& q = platform.shown.at(0);
    EXPECT_EQ(q.title, QStringLiteral("Nulstil periode"));
    EXPECT_EQ(q.text, QStringLiteral("Skal denne periode afsluttes,\r\nog totalen nulstilles ?"));
    EXPECT_EQ(q.icon, MessageIcon::Question);
    EXPECT_EQ(lastLine(), "05-12-2026;0;-;-;-;0;-365;periode afsluttet/nulstillet\r");
    EXPECT_EQ(text("Periode_CT"), QStringLiteral("0 ct "));
    EXPECT_EQ(text("Periode_Diff"), QStringLiteral("0 ct "));
    EXPECT_EQ(text("Total_CT"), QStringLiteral("-365 ct "));
    EXPECT_EQ(text("Status_Label"), QStringLiteral("Flexperiode nulstillet"));

    // The next day is day 1 of the new period.
    probe().Komme_CT() = 800;
    probe().Gaa_CT() = 1650;
    EXPECT_TRUE(form().Gem_Registrering());
    EXPECT_EQ(lastLine(), "05-12-2026;1;08:00;16:30;800;800;-305;\r");
    EXPECT_EQ(text("Periode_Diff"), QStringLiteral("60 ct "));

    platform.answerMessage(MessageAnswer::No);
    const QByteArray before = readBytes(file);
    ASSERT_FALSE(ends(&Flex_Form::Nulstil_Menu_Click));
    EXPECT_EQ(readBytes(file), before);
    EXPECT_EQ(probe().Periode_Dage(), 1);
}

TEST_F(CommandsTest, PeriodResetWriteFailureEndsWithTheTimeOffMessage) {
    startWith({3, 300, 30});
    probe().Filnavn() = QStringLiteral("/dev/full");
    platform.answerMessage(MessageAnswer::Yes);
    platform.answerMessage(MessageAnswer::Ok);
    EXPECT_TRUE(ends(&Flex_Form::Nulstil_Menu_Click));
    EXPECT_EQ(platform.endedWith, 1);
    EXPECT_EQ(platform.shown.back().title, QStringLiteral("Fejl under oprettelse af fil"));
    EXPECT_TRUE(platform.shown.back().text.contains(QStringLiteral("\r\n\r\nProgrammet kan ikke")));
}

TEST_F(CommandsTest, DailyHours) {
    startWith({0, 0, 0});
    platform.answerInput(QStringLiteral("7,5"));
    ASSERT_FALSE(ends(&Flex_Form::Arbejds_Menu_Click));
    const ShownDialog& ask = platform.shown.at(0);
    EXPECT_EQ(ask.title, QStringLiteral("Daglige arbejdstid"));
    EXPECT_EQ(ask.text, QStringLiteral("Angiv daglige arbejdstid i timer:"));
    EXPECT_EQ(ask.defaultText, QStringLiteral("7,4"));
    EXPECT_FLOAT_EQ(probe().Arbejdstimer(), 7.5f);
    EXPECT_EQ(caption("Arbejds_Menu"), QStringLiteral("&Arbejdstid  (7.5)"));
    EXPECT_EQ(userValue("Arbejdstimer"), "7.5");
    EXPECT_EQ(text("Status_Label"), QStringLiteral("Daglige arbejdstid ændret til 7,5"));

    window.reset();
    ASSERT_TRUE(startForm());
    EXPECT_EQ(caption("Arbejds_Menu"), QStringLiteral("&Arbejdstid  (7.5 timer)"));
}

TEST_F(CommandsTest, DailyHoursAnswers) {
    const struct {
        const char* answer;
        const char* caption;  // nothing when unchanged
        const char* stored;
    } cases[] = {
        {"7:30", "&Arbejdstid  (7)", "7"},
        {"8", "&Arbejdstid  (8)", "8"},
        {"-1", nullptr, "7.4"},
        {"0", nullptr, "7.4"},
        {"abc", nullptr, "7.4"},
        {"", nullptr, "7.4"},
    };
    for (const auto& c : cases) {
        fresh();
        startWith({0, 0, 0});
        platform.answerInput(QLatin1String(c.answer));
        ASSERT_FALSE(ends(&Flex_Form::Arbejds_Menu_Click));
        EXPECT_EQ(caption("Arbejds_Menu"), c.caption ? QLatin1String(c.caption)
                                                     : QStringLiteral("&Arbejdstid  (7.4 timer)"));
        EXPECT_EQ(userValue("Arbejdstimer"), c.stored);
        EXPECT_EQ(platform.shown.size(), 1u) << c.answer;  // no message either way
    }
}

TEST_F(CommandsTest, HoursBeyondTheBalancesAreRefused) {
    startWith({0, 0, 0});
    platform.answerInput(QStringLiteral("30000000"));
    platform.answerMessage(MessageAnswer::Ok);
    ASSERT_FALSE(ends(&Flex_Form::Arbejds_Menu_Click));
    EXPECT_EQ(platform.shown.back().icon, MessageIcon::Exclamation);
    EXPECT_FLOAT_EQ(probe().Arbejdstimer(), 7.4f);
    EXPECT_EQ(userValue("Arbejdstimer"), "7.4");
    platform.answerInput(QStringLiteral("1e300"));
    platform.answerMessage(MessageAnswer::Ok);
    ASSERT_FALSE(ends(&Flex_Form::Afspadsering_Menu_Click));
    EXPECT_EQ(probe().Flex_Total(), 0);
}

TEST_F(CommandsTest, LunchToggle) {
    seedExistingUser("x;0;-;-;-;0;0\r\n", "05-12-2026 08:00");
    platform.now.setTime(QTime(16, 30));
    ASSERT_TRUE(startForm());
    auto* lunch = child<QAction>("Frokost_Menu");
    EXPECT_EQ(text("Idag_CT"), QStringLiteral("800 ct "));
    lunch->trigger();  // through the menu, as the user does
    EXPECT_FALSE(lunch->isChecked());
    EXPECT_FALSE(probe().Frokost_Aktiv());
    EXPECT_EQ(text("Idag_CT"), QStringLiteral("850 ct "));
    EXPECT_EQ(form().windowTitle(), QStringLiteral("Horalogs registrering - 850 ct "));
    EXPECT_TRUE(platform.shown.empty());

    child<QPushButton>("Registrer_Command")->click();
    EXPECT_EQ(lastLine(), "05-12-2026;1;08:00;16:30;850;850;110;\r");
    EXPECT_EQ(text("Status_Label"), QStringLiteral("Arbejdstid idag: 08:30  (850 ct)"));

    lunch->trigger();
    EXPECT_TRUE(lunch->isChecked());
    EXPECT_TRUE(probe().Frokost_Aktiv());
    EXPECT_EQ(text("Idag_CT"), QString());  // no open day: figures stay empty
}

class FileLocationTest : public CommandsTest {
protected:
    // Chooses the path and answers the move question; then the dialogs that follow.
    void choose(const QString& path, MessageAnswer move, const std::function<void()>& then = {}) {
        platform.answerFile(path);
        platform.answerMessage(move);
        if (then) {
            then();
        }
        ASSERT_FALSE(ends(&Flex_Form::Filnavn_Menu_Click));
    }
    QString other() { return dir->path() + QStringLiteral("/tid/Horalog.Dat"); }
};

TEST_F(FileLocationTest, DialogAndCancel) {
    startWith({1, 2, 3});
    platform.answerFile(std::nullopt);
    ASSERT_FALSE(ends(&Flex_Form::Filnavn_Menu_Click));
    const FileDialogRequest& r = platform.shown.at(0).file;
    EXPECT_EQ(r.title, QStringLiteral("Indtast navnet på filen med horalogs registreringer:"));
    EXPECT_EQ(r.folder, dir->path());
    EXPECT_EQ(r.fileName, QStringLiteral("Horalog.Dat"));
    EXPECT_EQ(r.filters, (QStringList{QStringLiteral("Dat fil (*.Dat)|*.dat"),
                                      QStringLiteral("Alle filer (*.*)|*.*")}));
    EXPECT_EQ(probe().Filnavn(), file);
    EXPECT_EQ(userValue("Filnavn"), file.toStdString());
    EXPECT_EQ(text("Status_Label"), QString());
}

TEST_F(FileLocationTest, MoveAnsweredYes) {
    startWith({2, 1500, 20});
    const QByteArray content = readBytes(file);
    QDir().mkpath(QFileInfo(other()).path());
    choose(other(), MessageAnswer::Yes);
    const ShownDialog& q = platform.shown.at(1);
    EXPECT_EQ(q.title, QStringLiteral("Flyt Horalog.dat"));
    EXPECT_EQ(q.text, QStringLiteral("Skal den eksisterende fil: ") + file +
                          QStringLiteral("\r\nflyttes til: ") + other() +
                          QStringLiteral(" ?\r\n\r\n(Ved 'No' oprettes en ny tom fil, \r\neller "
                                         "den evt. eksisterende fil anvendes)"));
    EXPECT_FALSE(QFile::exists(file));
    EXPECT_EQ(readBytes(other()), content);
    EXPECT_EQ(caption("Filnavn_Menu"), QStringLiteral("&Filnavn  (") + other() + QLatin1Char(')'));
    EXPECT_EQ(userValue("Filnavn"), other().toStdString());
    EXPECT_EQ(text("Total_CT"), QStringLiteral("20 ct "));
    EXPECT_EQ(text("Status_Label"), QStringLiteral("Filnavn ændret/flyttet til ") + other());
}

TEST_F(FileLocationTest, NoReadsTheFileThereOrCreatesIt) {
    startWith({2, 1500, 20});
    QDir().mkpath(QFileInfo(other()).path());
    writeBytes(other(), "y;5;-;-;-;3000;-40\r\n");
    choose(other(), MessageAnswer::No);
    EXPECT_TRUE(QFile::exists(file));
    EXPECT_EQ(text("Total_CT"), QStringLiteral("-40 ct "));
    EXPECT_EQ(probe().Periode_Dage(), 5);

    const QString third = dir->path() + QStringLiteral("/ny.dat");
    choose(third, MessageAnswer::No, [this] { platform.answerInput(QStringLiteral("77")); });
    EXPECT_EQ(platform.shown.back().title, QStringLiteral("Opstart Horalog"));
    EXPECT_EQ(
        readBytes(third),
        QByteArray(
            "dato;dag;komme;g\xE5;tid;periode;total;kommentar\r\n05-12-2026;0;-;-;-;0;77\r\n"));
    EXPECT_EQ(text("Total_CT"), QStringLiteral("77 ct "));
    EXPECT_EQ(text("Periode_CT"), QStringLiteral("0 ct "));
}

TEST_F(FileLocationTest, FailedMoveStaysWithTheOldFile) {
    // A file already at the target, and a folder nobody may write in (not even root).
    for (const bool targetExists : {true, false}) {
        fresh();
        startWith({2, 1500, 20});
        const QByteArray content = readBytes(file);
        const QString target = targetExists ? other() : QStringLiteral("/proc/Horalog.Dat");
        if (targetExists) {
            QDir().mkpath(QFileInfo(other()).path());
            writeBytes(other(), "someone else's file\r\n");
        }
        choose(target, MessageAnswer::Yes, [this] { platform.answerMessage(MessageAnswer::Ok); });
        const ShownDialog& d = platform.shown.back();
        EXPECT_EQ(d.icon, MessageIcon::Exclamation);
        EXPECT_TRUE(d.text.startsWith(QStringLiteral("Filen ") + file +
                                      QStringLiteral(" kunne ikke flyttes til ") + target +
                                      QStringLiteral("\r\nFejl: ")));
        EXPECT_EQ(probe().Filnavn(), file);
        EXPECT_EQ(caption("Filnavn_Menu"), QStringLiteral("&Filnavn  (") + file + QLatin1Char(')'));
        EXPECT_EQ(userValue("Filnavn"), file.toStdString());
        EXPECT_EQ(readBytes(file), content);
        if (targetExists) {
            EXPECT_EQ(readBytes(other()), QByteArray("someone else's file\r\n"));
        }
        EXPECT_EQ(text("Status_Label"), QString());
    }
}

// Such a name was once stored, and every later start ended on the file error.
TEST_F(FileLocationTest, NameInAMissingFolderIsRefused) {
    startWith({2, 1500, 20});
    platform.answerFile(other());
    platform.answerMessage(MessageAnswer::Ok);
    ASSERT_FALSE(ends(&Flex_Form::Filnavn_Menu_Click));
    EXPECT_EQ(platform.shown.back().text,
              QStringLiteral("Mappen \"") + dir->path() +
                  QStringLiteral("/tid\" findes ikke.\r\n\r\nIntet er ændret."));
    EXPECT_EQ(userValue("Filnavn"), file.toStdString());
    EXPECT_EQ(caption("Filnavn_Menu"), QStringLiteral("&Filnavn  (") + file + QLatin1Char(')'));
    EXPECT_EQ(text("Status_Label"), QString());
}

// The store names the new file only once it holds every record, and the old name goes last.
TEST_F(FileLocationTest, MoveStoresThePathOnlyOnceTheNewFileIsWhole) {
    startWith({2, 1500, 20});
    const QByteArray content = readBytes(file);
    QDir().mkpath(QFileInfo(other()).path());
    platform.answerFile(other());
    platform.answerMessage(MessageAnswer::Yes);
    ASSERT_FALSE(ends(&Flex_Form::Filnavn_Menu_Click));
    EXPECT_EQ(userValue("Filnavn"), other().toStdString());

    // A store that cannot be written: the move stops with the old file whole, named in the store.
    const QString third = dir->path() + QStringLiteral("/ny.dat");
    const QString storeFile = QString::fromStdString(paths.user);
    writeBytes(storeFile, "not a store");
    platform.answerFile(third);
    platform.answerMessage(MessageAnswer::Yes);
    platform.answerMessage(MessageAnswer::Ok);
    EXPECT_TRUE(ends(&Flex_Form::Filnavn_Menu_Click));
    EXPECT_EQ(readBytes(other()), content);
    EXPECT_FALSE(QFile::exists(third));
}

TEST_F(FileLocationTest, OldFileMissingAsksNothing) {
    startWith({2, 1500, 20});
    QDir().mkpath(QFileInfo(other()).path());
    QFile::remove(file);
    platform.answerFile(other());
    ASSERT_FALSE(ends(&Flex_Form::Filnavn_Menu_Click));
    EXPECT_EQ(platform.shown.size(), 1u);
    EXPECT_EQ(text("Status_Label"), QStringLiteral("Filnavn ændret/flyttet til ") + other());
    EXPECT_EQ(probe().Flex_Total(), 20);
}

TEST_F(FileLocationTest, SamePathAnsweredNoReadsItAgain) {
    startWith({2, 1500, 20});
    writeBytes(file, "z;1;-;-;-;100;7\r\n");
    choose(file, MessageAnswer::No);
    EXPECT_EQ(text("Total_CT"), QStringLiteral("7 ct "));
}

// The real dialog: Danish texts from Qt's translation, the filters as given, and a name in a
// folder that does not exist refused by the dialog itself.
TEST(QtPlatformFileDialog, AcceptsANewNameOnlyInAnExistingFolder) {
    ASSERT_TRUE(installDanishQtTranslation());
    QTemporaryDir folder;
    QtPlatform platform(QLocale::c());
    const QString wanted = folder.filePath(QStringLiteral("ny.dat"));
    QString title;
    QStringList buttons;
    QStringList filters;
    QString refusal;
    QTimer::singleShot(0, [&] {
        auto* dialog = qobject_cast<QFileDialog*>(QApplication::activeModalWidget());
        ASSERT_NE(dialog, nullptr);
        title = dialog->windowTitle();
        filters = dialog->nameFilters();
        for (const QPushButton* b : dialog->findChildren<QPushButton*>()) {
            if (b->isVisible()) {
                buttons << b->text();
            }
        }
        EXPECT_EQ(dialog->directory().absolutePath(), folder.path());
        QTimer::singleShot(0, [&] {
            auto* box = qobject_cast<QMessageBox*>(QApplication::activeModalWidget());
            ASSERT_NE(box, nullptr);
            refusal = box->text();
            box->accept();
        });
        dialog->selectFile(folder.filePath(QStringLiteral("mangler/ny.dat")));
        QMetaObject::invokeMethod(dialog, "accept");
        EXPECT_TRUE(dialog->isVisible());
        dialog->selectFile(wanted);
        QMetaObject::invokeMethod(dialog, "accept");
    });
    FileDialogRequest request{
        QStringLiteral("Indtast navnet"),
        folder.path(),
        QStringLiteral("Horalog.Dat"),
        {QStringLiteral("Dat fil (*.Dat)|*.dat"), QStringLiteral("Alle filer (*.*)|*.*")}};
    EXPECT_EQ(platform.chooseFile(nullptr, request), wanted);
    EXPECT_EQ(title, QStringLiteral("Indtast navnet"));
    EXPECT_EQ(filters,
              (QStringList{QStringLiteral("Dat fil (*.Dat)"), QStringLiteral("Alle filer (*.*)")}));
    EXPECT_TRUE(buttons.contains(QStringLiteral("&Gem"))) << buttons.join(u',').toStdString();
    EXPECT_TRUE(buttons.contains(QStringLiteral("Annuller"))) << buttons.join(u',').toStdString();
    EXPECT_EQ(refusal, QStringLiteral("Mappen \"") + folder.path() +
                           QStringLiteral("/mangler\" findes ikke."));
}

}  // namespace
}  // namespace horalog::testing
