#include "settings/settings.h"

#include <gtest/gtest.h>

#include <QTemporaryDir>

#include "registry/hive_file.h"

namespace horalog {
namespace {

using Values = std::vector<std::pair<std::string, std::string>>;

class SettingsRules : public ::testing::Test {
protected:
    // A key holding the values, in a store of its own.
    CRegistry& key(const Values& values) {
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
        Values stored;
        float hours;
        std::int16_t lunch, lunchFrom;
        qsizetype warnings;
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
    }
    EXPECT_EQ(readSettings(key({{"FrokostVarighed", "40000"}}), false).warnings.value(0),
              QStringLiteral("Indstillingen \"FrokostVarighed\" med værdien \"40000\" kan ikke "
                             "anvendes, fordi tallet er for stort.\r\n\r\nVærdien 50 bruges nu. "
                             "Den gemte værdi står uændret, så den kan rettes."));
}

TEST_F(SettingsRules, MissingValuesWrittenBackOnlyWhenAsked) {
    EXPECT_FALSE(readSettings(key({}), false).filnavn.has_value());
    EXPECT_FALSE(reg->ValueExists("Arbejdstimer"));
    writeUserKey(*reg, QStringLiteral("04-12-2026 08:15"), {7.25f, 30, 400},
                 QStringLiteral("/å.dat"));
    ASSERT_TRUE(reg->OpenKey(kHKeyCurrentUser, kSettingsKey, false, true));
    EXPECT_EQ(readStoredArrival(*reg), QStringLiteral("04-12-2026 08:15"));
    EXPECT_EQ(readSettings(*reg, false).filnavn, QStringLiteral("/å.dat"));
    reg->DeleteValue("FrokostVarighed");
    EXPECT_EQ(readSettings(*reg, true).values.frokostArbejdstid, 400);
    EXPECT_EQ(reg->ReadValue("FrokostVarighed"), "50");
    EXPECT_EQ(reg->ReadValue("Arbejdstimer"), "7.25");
}

}  // namespace
}  // namespace horalog
