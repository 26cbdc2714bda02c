// The menu commands, each path once: done, cancelled, refused and failed.
#include <QAction>
#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <QLineEdit>
#include <functional>

#include "form_fixture.h"

namespace horalog::testing {
namespace {

class CommandsTest : public FormTest {
protected:
    void SetUp() override {
        FormTest::SetUp();
        startExistingUser("x;12;-;-;-;8770;375\r\n");
    }
    QByteArray lastLine() {
        const QList<QByteArray> lines = readBytes(file).split('\n');
        return lines.size() >= 2 ? lines[lines.size() - 2] : QByteArray();
    }
    // The registration file's folder is gone, so the next append fails.
    void loseTheFolder() {
        const QString folder = dir->path() + QStringLiteral("/gone");
        QDir().mkpath(folder);
        file = folder + QStringLiteral("/Horalog.Dat");
        platform.answerFile(file);
        platform.answerMessage(MessageAnswer::Yes);
        ASSERT_FALSE(ends(&Flex_Form::Filnavn_Menu_Click));
        QDir(folder).removeRecursively();
    }
    const QString kRefused = QStringLiteral("\r\n\r\nIntet er ændret.");
};

TEST_F(CommandsTest, TimeOff) {
    const QByteArray before = readBytes(file);
    // Cancelled, 0, refused amount, refused comment: nothing written.
    platform.answerInput(QString());
    platform.answerInput(QStringLiteral("0"));
    platform.answerInput(QStringLiteral("1e300"));
    platform.answerMessage(MessageAnswer::Ok);
    platform.answerInput(QStringLiteral("1"));
    platform.answerInput(QStringLiteral("Ł"));
    platform.answerMessage(MessageAnswer::Ok);
    for (int i = 0; i < 4; ++i) {
        ASSERT_FALSE(ends(&Flex_Form::Afspadsering_Menu_Click));
    }
    EXPECT_EQ(readBytes(file), before);
    EXPECT_EQ(platform.shown.at(0).text,
              QStringLiteral("Angiv antal timer afspadseret:\r\n(Der fratrækkes ikke automatisk "
                             "frokost og pauser)"));
    EXPECT_EQ(platform.shown.at(0).defaultText, QStringLiteral("7,4"));
    EXPECT_EQ(platform.shown.at(3).text,
              QStringLiteral("Afspadseringen \"1e300\" kan ikke anvendes, fordi tallet er for "
                             "stort.") +
                  kRefused);
    EXPECT_EQ(platform.shown.at(5).defaultText, QStringLiteral("afspadsering"));
    EXPECT_TRUE(platform.shown.at(6).text.endsWith(kRefused));

    platform.answerInput(QStringLiteral("7,4"));
    platform.answerInput(QStringLiteral("afspadsering"));
    ASSERT_FALSE(ends(&Flex_Form::Afspadsering_Menu_Click));
    EXPECT_EQ(lastLine(), "05-12-2026;12;-;-;-740;8030;-365;afspadsering\r");
    EXPECT_EQ(text("Status_Label"), QStringLiteral("Afspadsering af 740 ct tilføjet"));
    EXPECT_EQ(text("Total_CT"), QStringLiteral("-365 ct "));
    EXPECT_EQ(text("Periode_CT"), QStringLiteral("8030 ct "));

    loseTheFolder();
    platform.answerInput(QStringLiteral("1"));
    platform.answerInput(QStringLiteral("x"));
    platform.answerMessage(MessageAnswer::Ok);
    EXPECT_TRUE(ends(&Flex_Form::Afspadsering_Menu_Click));
    EXPECT_EQ(platform.shown.back().text,
              QStringLiteral("Fejl under skrivning til filen: ") + file +
                  QStringLiteral("\r\nFejl: No such file or directory\r\n\r\n"
                                 "Programmet kan ikke fortsætte før fejlen er rettet."));
}

TEST_F(CommandsTest, PeriodReset) {
    const QByteArray before = readBytes(file);
    platform.answerMessage(MessageAnswer::No);
    ASSERT_FALSE(ends(&Flex_Form::Nulstil_Menu_Click));
    EXPECT_EQ(readBytes(file), before);
    const ShownDialog& q = platform.shown.at(0);
    EXPECT_EQ(q.title, QStringLiteral("Nulstil periode"));
    EXPECT_EQ(q.text, QStringLiteral("Skal denne periode afsluttes,\r\nog totalen nulstilles ?"));
    EXPECT_EQ(q.defaultButton, MessageAnswer::Yes);

    platform.answerMessage(MessageAnswer::Yes);
    ASSERT_FALSE(ends(&Flex_Form::Nulstil_Menu_Click));
    EXPECT_EQ(lastLine(), "05-12-2026;0;-;-;-;0;375;periode afsluttet/nulstillet\r");
    EXPECT_EQ(text("Periode_CT"), QStringLiteral("0 ct "));
    EXPECT_EQ(text("Periode_Diff"), QStringLiteral("0 ct "));
    EXPECT_EQ(text("Total_CT"), QStringLiteral("375 ct "));
    EXPECT_EQ(text("Status_Label"), QStringLiteral("Flexperiode nulstillet"));

    loseTheFolder();
    platform.answerMessage(MessageAnswer::Yes);
    platform.answerMessage(MessageAnswer::Ok);
    EXPECT_TRUE(ends(&Flex_Form::Nulstil_Menu_Click));
    EXPECT_EQ(platform.shown.back().title, QStringLiteral("Fejl under oprettelse af fil"));
}

TEST_F(CommandsTest, DailyHours) {
    platform.answerInput(QString());
    platform.answerInput(QStringLiteral("-1"));
    platform.answerInput(QStringLiteral("1e300"));
    platform.answerMessage(MessageAnswer::Ok);
    for (int i = 0; i < 3; ++i) {
        ASSERT_FALSE(ends(&Flex_Form::Arbejds_Menu_Click));
    }
    EXPECT_EQ(userValue("Arbejdstimer"), "7.4");
    EXPECT_EQ(platform.shown.at(0).title, QStringLiteral("Daglige arbejdstid"));
    EXPECT_EQ(platform.shown.at(0).defaultText, QStringLiteral("7,4"));
    EXPECT_TRUE(platform.shown.at(3).text.startsWith(QStringLiteral("Arbejdstiden \"1e300\"")));

    platform.answerInput(QStringLiteral("7,5"));
    ASSERT_FALSE(ends(&Flex_Form::Arbejds_Menu_Click));
    EXPECT_EQ(userValue("Arbejdstimer"), "7.5");
    EXPECT_EQ(text("Arbejds_Menu"), QStringLiteral("&Arbejdstid  (7.5)"));
    EXPECT_EQ(text("Status_Label"), QStringLiteral("Daglige arbejdstid ændret til 7,5"));
}

TEST_F(CommandsTest, LunchToggle) {
    child<QLineEdit>("Komme_Text")->setText(QStringLiteral("08:00"));
    ASSERT_FALSE(ends(&Flex_Form::Registrer_Command_Click));
    child<QLineEdit>("Gaa_Text")->setText(QStringLiteral("16:30"));
    auto* lunch = child<QAction>("Frokost_Menu");
    EXPECT_TRUE(lunch->isChecked());
    lunch->trigger();
    EXPECT_FALSE(lunch->isChecked());
    EXPECT_EQ(text("Idag_CT"), QStringLiteral("850 ct "));
    ASSERT_FALSE(ends(&Flex_Form::Registrer_Command_Click));
    EXPECT_EQ(lastLine(), "05-12-2026;13;08:00;16:30;850;9620;485;\r");
    lunch->trigger();
    EXPECT_TRUE(lunch->isChecked());
}

class FileLocationTest : public CommandsTest {
protected:
    QString other() { return dir->path() + QStringLiteral("/tid/Horalog.Dat"); }
    // Chooses the path and answers the move question; then the dialogs that follow.
    void choose(std::optional<QString> path, std::optional<MessageAnswer> move = std::nullopt,
                const std::function<void()>& then = {}) {
        platform.answerFile(path);
        if (move) {
            platform.answerMessage(*move);
        }
        if (then) {
            then();
        }
        ASSERT_FALSE(ends(&Flex_Form::Filnavn_Menu_Click));
    }
    void expectPath(const QString& path) {
        EXPECT_EQ(userValue("Filnavn"), path.toStdString());
        EXPECT_EQ(text("Filnavn_Menu"), QStringLiteral("&Filnavn  (") + path + QLatin1Char(')'));
    }
};

TEST_F(FileLocationTest, CancelledAndRefused) {
    choose(std::nullopt);
    const FileDialogRequest& r = platform.shown.at(0).file;
    EXPECT_EQ(r.title, QStringLiteral("Indtast navnet på filen med horalogs registreringer:"));
    EXPECT_EQ(r.folder, dir->path());
    EXPECT_EQ(r.fileName, QStringLiteral("Horalog.Dat"));
    EXPECT_EQ(r.filters, (QStringList{QStringLiteral("Dat fil (*.Dat)|*.dat"),
                                      QStringLiteral("Alle filer (*.*)|*.*")}));
    // Such a name was once stored, and every later start ended on the file error.
    choose(other(), std::nullopt, [this] { platform.answerMessage(MessageAnswer::Ok); });
    EXPECT_EQ(platform.shown.back().text, QStringLiteral("Mappen \"") + dir->path() +
                                              QStringLiteral("/tid\" findes ikke.") + kRefused);
    expectPath(file);
    EXPECT_EQ(text("Status_Label"), QString());
}

TEST_F(FileLocationTest, MovedOrLeft) {
    const QByteArray content = readBytes(file);
    QDir().mkpath(QFileInfo(other()).path());
    choose(other(), MessageAnswer::Yes);
    EXPECT_EQ(platform.shown.back().text,
              QStringLiteral("Skal den eksisterende fil: ") + file +
                  QStringLiteral("\r\nflyttes til: ") + other() +
                  QStringLiteral(" ?\r\n\r\n(Ved 'No' oprettes en ny tom fil, \r\neller den "
                                 "evt. eksisterende fil anvendes)"));
    EXPECT_FALSE(QFile::exists(file));
    EXPECT_EQ(readBytes(other()), content);
    expectPath(other());
    EXPECT_EQ(text("Status_Label"), QStringLiteral("Filnavn ændret/flyttet til ") + other());

    // "Nej": the file there is read, or made with a new balance.
    writeBytes(file, "y;5;-;-;-;3000;-40\r\n");
    choose(file, MessageAnswer::No);
    EXPECT_EQ(text("Total_CT"), QStringLiteral("-40 ct "));
    expectPath(file);
    const QString third = dir->path() + QStringLiteral("/ny.dat");
    choose(third, MessageAnswer::No, [this] { platform.answerInput(QStringLiteral("77")); });
    EXPECT_EQ(readBytes(third), QByteArray("dato;dag;komme;g\xE5;tid;periode;total;kommentar\r\n"
                                           "05-12-2026;0;-;-;-;0;77\r\n"));
    EXPECT_EQ(text("Total_CT"), QStringLiteral("77 ct "));
    expectPath(third);
}

TEST_F(FileLocationTest, FailedMoveStaysWithTheOldFile) {
    const QByteArray content = readBytes(file);
    QDir().mkpath(QFileInfo(other()).path());
    writeBytes(other(), "someone else's file\r\n");
    choose(other(), MessageAnswer::Yes, [this] { platform.answerMessage(MessageAnswer::Ok); });
    const ShownDialog& d = platform.shown.back();
    EXPECT_EQ(d.icon, MessageIcon::Exclamation);
    EXPECT_EQ(d.text, QStringLiteral("Filen ") + file + QStringLiteral(" kunne ikke flyttes til ") +
                          other() +
                          QStringLiteral("\r\nFejl: File exists\r\n\r\nHoralogs data "
                                         "gemmes fortsat i ") +
                          file);
    expectPath(file);
    EXPECT_EQ(readBytes(file), content);
    EXPECT_EQ(readBytes(other()), QByteArray("someone else's file\r\n"));
}

TEST_F(FileLocationTest, OldFileMissingAsksNothing) {
    QFile::remove(file);
    QDir().mkpath(QFileInfo(other()).path());
    choose(other());
    EXPECT_EQ(platform.shown.size(), 1u);
    expectPath(other());
    EXPECT_EQ(text("Total_CT"), QStringLiteral("375 ct "));
}

}  // namespace
}  // namespace horalog::testing
