// The settings in the store: first start, the machine-wide defaults, values written back, and
// the key error that nobody handles.
#include <QAction>
#include <QDir>
#include <QFile>
#include <QFileInfo>

#include "form_fixture.h"

namespace horalog::testing {
namespace {

const QString kNoticeStart = QStringLiteral("Horalogs data vil blive gemt i ");
const QString kNoticeMiddle =
    QStringLiteral("\r\n\r\nHvis der ønskes anvendt en anden placering,\r\n");

class SettingsTest : public FormTest {
protected:
    QString caption(const char* action) { return child<QAction>(action)->text(); }
    std::string storeText() { return readBytes(QString::fromStdString(paths.user)).toStdString(); }
};

TEST_F(SettingsTest, FirstStartWithNeitherKey) {
    platform.answerMessage(MessageAnswer::Ok);
    platform.answerInput(QStringLiteral("0"));
    ASSERT_TRUE(startForm());

    const ShownDialog& notice = platform.shown.at(0);
    EXPECT_EQ(notice.title, QStringLiteral("Horalog.dat filnavn"));
    EXPECT_EQ(notice.icon, MessageIcon::Information);
    EXPECT_EQ(notice.buttons, MessageButtons::Ok);
    EXPECT_EQ(notice.text, kNoticeStart + file + kNoticeMiddle +
                               QStringLiteral("kan dette rettes under 'Opsætninger - Filnavn'"));
    EXPECT_EQ(platform.shown.size(), 2u);  // no second notice, then the balance question

    EXPECT_EQ(storeText(),
              "REGEDIT4\n\n"
              "[HKEY_CURRENT_USER\\Software]\n\n"
              "[HKEY_CURRENT_USER\\Software\\Kvistborg]\n\n"
              "[HKEY_CURRENT_USER\\Software\\Kvistborg\\Horalog]\n"
              "\"Moedt\"=\" \"\n"
              "\"Arbejdstimer\"=\"7.4\"\n"
              "\"FrokostVarighed\"=\"50\"\n"
              "\"FrokostArbejdstid\"=\"450\"\n"
              "\"Filnavn\"=\"" +
                  file.toStdString() + "\"\n\n");
    EXPECT_EQ(caption("Arbejds_Menu"), QStringLiteral("&Arbejdstid  (7.4 timer)"));
    EXPECT_EQ(caption("Filnavn_Menu"), QStringLiteral("&Filnavn  (") + file + QLatin1Char(')'));
    EXPECT_FLOAT_EQ(probe().Arbejdstimer(), 7.4f);
    EXPECT_EQ(probe().FrokostVarighed(), 50);
    EXPECT_EQ(probe().FrokostArbejdstid(), 450);
    EXPECT_TRUE(probe().Frokost_Aktiv());
}

TEST_F(SettingsTest, MachineWideKeyIsCopiedNormalised) {
    const QString shared = dir->path() + QStringLiteral("/shared.dat");
    writeBytes(shared, "x;1;-;-;-;10;20\r\n");
    seedMachineKey({{"Moedt", "04-12-2026 08:15"},
                    {"Arbejdstimer", "7,5"},
                    {"FrokostVarighed", "30.6"},
                    {"FrokostArbejdstid", "50.5"},
                    {"Filnavn", shared.toStdString()}});
    const QByteArray machineBefore = readBytes(QString::fromStdString(paths.machine));
    platform.answerMessage(MessageAnswer::No);  // the arrival of another day
    ASSERT_TRUE(startForm());

    ASSERT_EQ(platform.shown.size(), 1u);  // no notice
    EXPECT_EQ(platform.shown[0].title, QStringLiteral("Registreret komme tid"));
    EXPECT_EQ(userValue("Moedt"), "04-12-2026 08:15");
    EXPECT_EQ(userValue("Arbejdstimer"), "7");
    EXPECT_EQ(userValue("FrokostVarighed"), "31");
    EXPECT_EQ(userValue("FrokostArbejdstid"), "50");
    EXPECT_EQ(userValue("Filnavn"), shared.toStdString());
    EXPECT_EQ(caption("Arbejds_Menu"), QStringLiteral("&Arbejdstid  (7 timer)"));
    EXPECT_EQ(readBytes(QString::fromStdString(paths.machine)), machineBefore);
    EXPECT_EQ(probe().Periode_Sum(), 10);
}

TEST_F(SettingsTest, MachineWideKeyWithoutFileName) {
    seedMachineKey({{"Arbejdstimer", "7.25"}});
    platform.answerMessage(MessageAnswer::Ok);
    platform.answerInput(QStringLiteral("0"));
    ASSERT_TRUE(startForm());
    EXPECT_EQ(platform.shown.at(0).text,
              kNoticeStart + file + kNoticeMiddle +
                  QStringLiteral("kan dette rettes under Opsætninger/Filnavn"));
    EXPECT_EQ(caption("Arbejds_Menu"), QStringLiteral("&Arbejdstid  (7.25 timer)"));
    EXPECT_EQ(userValue("FrokostVarighed"), "50");
}

TEST_F(SettingsTest, UserKeyWinsOverTheMachineKey) {
    seedMachineKey({{"Arbejdstimer", "9"}});
    seedExistingUser("x;0;-;-;-;0;0\r\n");
    ASSERT_TRUE(startForm());
    EXPECT_TRUE(platform.shown.empty());
    EXPECT_FLOAT_EQ(probe().Arbejdstimer(), 7.4f);
}

TEST_F(SettingsTest, MissingValuesAreWrittenBackAlone) {
    seedExistingUser("x;0;-;-;-;0;0\r\n");
    {
        CRegistry reg(std::make_shared<HiveFileBackend>(paths));
        reg.OpenKey(kHKeyCurrentUser, "Software\\Kvistborg\\Horalog", false, true);
        reg.DeleteValue("Arbejdstimer");
        reg.WriteValue("FrokostVarighed", "31.5");
    }
    const std::string before = storeText();
    ASSERT_TRUE(startForm());
    EXPECT_TRUE(platform.shown.empty());
    // Only the missing value was added; nothing else changed.
    EXPECT_EQ(storeText(), before.substr(0, before.size() - 1) + "\"Arbejdstimer\"=\"7.4\"\n\n");
    EXPECT_EQ(userValue("Arbejdstimer"), "7.4");
    EXPECT_EQ(userValue("FrokostVarighed"), "31.5");  // read as 32, not rewritten
    EXPECT_EQ(probe().FrokostVarighed(), 32);
    EXPECT_EQ(userValue("Moedt"), " ");
}

TEST_F(SettingsTest, MissingFileNameGivesTheFirstWording) {
    seedUserKey({{"Moedt", " "}});
    platform.answerMessage(MessageAnswer::Ok);
    platform.answerInput(QStringLiteral("0"));
    ASSERT_TRUE(startForm());
    EXPECT_TRUE(platform.shown[0].text.endsWith(
        QStringLiteral("kan dette rettes under Opsætninger/Filnavn")));
    EXPECT_EQ(userValue("Filnavn"), file.toStdString());
    EXPECT_EQ(userValue("Arbejdstimer"), "7.4");
}

TEST_F(SettingsTest, ValuesThatCannotBeHeldFallBackWithAMessage) {
    seedExistingUser("x;0;-;-;-;0;0\r\n");
    seedUserKey({{"FrokostVarighed", "40000"}, {"Arbejdstimer", "1e300"}});
    platform.answerMessage(MessageAnswer::Ok);
    platform.answerMessage(MessageAnswer::Ok);
    ASSERT_TRUE(startForm());
    ASSERT_EQ(platform.shown.size(), 2u);
    EXPECT_EQ(platform.shown[0].icon, MessageIcon::Exclamation);
    // It says what happens: the default now, the stored value kept (not "nothing changed").
    EXPECT_EQ(platform.shown[0].text,
              QStringLiteral("Indstillingen \"Arbejdstimer\" med værdien \"1e300\" kan ikke "
                             "anvendes, fordi tallet er for stort.\r\n\r\nVærdien 7.4 bruges nu. "
                             "Den gemte værdi står uændret, så den kan rettes."));
    EXPECT_FLOAT_EQ(probe().Arbejdstimer(), 7.4f);
    EXPECT_EQ(probe().FrokostVarighed(), 50);
    EXPECT_EQ(userValue("FrokostVarighed"), "40000");  // the user's value is left for them to fix
}

TEST_F(SettingsTest, DamagedMachineWideStoreCountsAsNone) {
    const QString machine = QString::fromStdString(paths.machine);
    QDir().mkpath(QFileInfo(machine).path());
    writeBytes(machine, "REGEDIT4\n[HKEY_LOCAL_MACHINE\\Software\n");
    platform.answerMessage(MessageAnswer::Ok);
    platform.answerInput(QStringLiteral("0"));
    ASSERT_TRUE(startForm());
    EXPECT_EQ(platform.shown.at(0).title, QStringLiteral("Horalog.dat filnavn"));
    EXPECT_EQ(userValue("Arbejdstimer"), "7.4");
    EXPECT_EQ(readBytes(machine), QByteArray("REGEDIT4\n[HKEY_LOCAL_MACHINE\\Software\n"));
}

TEST_F(SettingsTest, DamagedStoreEndsWithTheKeyErrorAndStaysAsItWas) {
    const QByteArray damaged =
        "REGEDIT4\n[HKEY_CURRENT_USER\\Software\\Kvistborg\\Horalog]\n\"Moedt\n";
    QDir().mkpath(QFileInfo(QString::fromStdString(paths.user)).path());
    writeBytes(QString::fromStdString(paths.user), damaged);
    platform.answerMessage(MessageAnswer::Ok);
    EXPECT_FALSE(startForm());
    EXPECT_EQ(platform.endedWith, 1);
    const ShownDialog& d = platform.shown.back();
    EXPECT_EQ(d.title, QStringLiteral("Horalog"));
    EXPECT_EQ(d.icon, MessageIcon::Critical);
    EXPECT_TRUE(
        d.text.startsWith(QStringLiteral("Run-time error '-2147221502 (80040002)':\r\n\r\n")));
    EXPECT_TRUE(d.text.contains(QString::fromStdString(paths.user)));
    EXPECT_EQ(readBytes(QString::fromStdString(paths.user)), damaged);
    EXPECT_FALSE(QFile::exists(file));
}

}  // namespace
}  // namespace horalog::testing
