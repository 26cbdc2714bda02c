#include "settings/settings.h"

#include <gtest/gtest.h>

#include <QTemporaryDir>

#include "registry/hive_file.h"

namespace horalog {
namespace {

class SettingsRules : public ::testing::Test {
protected:
    // A key holding the values, in a store of its own.
    CRegistry& key(const std::vector<std::pair<std::string, std::string>>& values) {
        const std::string file = dir.filePath(QString::number(++stores)).toStdString();
        reg = std::make_unique<CRegistry>(
            std::make_shared<HiveFileBackend>(HivePaths{file, file + "m"}));
        reg->OpenKey(kHKeyCurrentUser, kSettingsKey, true, true);
        for (const auto& [name, value] : values) {
            reg->WriteValue(name, value);
        }
        return *reg;
    }
    QTemporaryDir dir;
    int stores = 0;
    std::unique_ptr<CRegistry> reg;
};

TEST_F(SettingsRules, StoredValuesAndDefaults) {
    const struct {
        std::vector<std::pair<std::string, std::string>> stored;
        float hours;
        std::int16_t lunch, lunchFrom;
        int warnings;
    } cases[] = {
        {{}, 7.4f, 50, 450, 0},
        {{{"Arbejdstimer", "7,5"}, {"FrokostVarighed", "31.5"}, {"FrokostArbejdstid", "&H10"}},
         7.0f,
         32,
         16,
         0},
        {{{"Arbejdstimer", "1e300"}, {"FrokostVarighed", "40000"}, {"FrokostArbejdstid", "32767"}},
         7.4f,
         50,
         32767,
         2}};
    for (const auto& c : cases) {
        const SettingsReading r = readSettings(key(c.stored), false);
        EXPECT_FLOAT_EQ(r.values.arbejdstimer, c.hours);
        EXPECT_EQ(r.values.frokostVarighed, c.lunch);
        EXPECT_EQ(r.values.frokostArbejdstid, c.lunchFrom);
        EXPECT_EQ(r.warnings.size(), c.warnings);
        EXPECT_FALSE(r.filnavn.has_value());
    }
    EXPECT_EQ(readSettings(key({{"FrokostVarighed", "40000"}}), false).warnings.value(0),
              QStringLiteral("Indstillingen \"FrokostVarighed\" med værdien \"40000\" kan ikke "
                             "anvendes, fordi tallet er for stort.\r\n\r\nVærdien 50 bruges nu. "
                             "Den gemte værdi står uændret, så den kan rettes."));
}

TEST_F(SettingsRules, MissingValuesWrittenBackOnlyWhenAsked) {
    readSettings(key({{"Filnavn", "/x.dat"}}), false);
    EXPECT_FALSE(reg->ValueExists("Arbejdstimer"));
    const SettingsReading r = readSettings(*reg, true);
    EXPECT_EQ(r.filnavn, QStringLiteral("/x.dat"));
    EXPECT_EQ(reg->ReadValue("Arbejdstimer"), "7.4");
    EXPECT_EQ(reg->ReadValue("FrokostVarighed"), "50");
    EXPECT_EQ(reg->ReadValue("FrokostArbejdstid"), "450");
}

TEST_F(SettingsRules, UserKeyOfAFirstStart) {
    key({});
    writeUserKey(*reg, QStringLiteral("04-12-2026 08:15"), {7.25f, 30, 400},
                 QStringLiteral("/å.dat"));
    ASSERT_TRUE(reg->OpenKey(kHKeyCurrentUser, kSettingsKey, false, false));
    EXPECT_EQ(readStoredArrival(*reg), QStringLiteral("04-12-2026 08:15"));
    EXPECT_EQ(reg->ReadValue("Arbejdstimer"), "7.25");
    EXPECT_EQ(reg->ReadValue("FrokostVarighed"), "30");
    EXPECT_EQ(reg->ReadValue("FrokostArbejdstid"), "400");
    EXPECT_EQ(readSettings(*reg, false).filnavn, QStringLiteral("/å.dat"));
}

TEST(SettingsTexts, NoticeAndCaptions) {
    EXPECT_EQ(fileNameNotice(QStringLiteral("/h/Horalog.Dat"), true),
              QStringLiteral("Horalogs data vil blive gemt i /h/Horalog.Dat\r\n\r\nHvis der ønskes "
                             "anvendt en anden placering,\r\nkan dette rettes under "
                             "Opsætninger/Filnavn"));
    EXPECT_TRUE(fileNameNotice(QString(), false)
                    .endsWith(QStringLiteral("kan dette rettes under 'Opsætninger - Filnavn'")));
    EXPECT_EQ(hoursMenuCaption(7.4f), QStringLiteral("&Arbejdstid  (7.4 timer)"));
    EXPECT_EQ(fileMenuCaption(QStringLiteral("/a b")), QStringLiteral("&Filnavn  (/a b)"));
}

}  // namespace
}  // namespace horalog
