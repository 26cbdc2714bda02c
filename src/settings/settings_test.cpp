#include "settings/settings.h"

#include <gtest/gtest.h>

#include <QTemporaryDir>

#include "test_store.h"

namespace horalog {
namespace {

// Stored values as read (a number's first characters, as the program always read them) or, when
// missing or beyond their type, the defaults, with one warning for each refused value.
TEST(ReadSettings, StoredValuesAndDefaults) {
    QTemporaryDir dir;
    CRegistry reg(testing::TestStore(dir.path()).backend());
    reg.OpenKey(kHKeyCurrentUser, kSettingsKey, true, true);
    const char* names[] = {"Arbejdstimer", "FrokostVarighed", "FrokostArbejdstid"};
    const std::vector<const char*> stored[] = {
        {}, {"7,5", "31.5", "&H10"}, {"1e300", "40000", "32767"}};
    const char* read[] = {"7.4 50 450 0", "7 32 16 0", "7.4 50 32767 2"};
    for (std::size_t i = 0; i < std::size(stored); ++i) {
        for (std::size_t v = 0; v < stored[i].size(); ++v) {
            reg.WriteValue(names[v], stored[i][v]);
        }
        const SettingsReading r = readSettings(reg, false);
        EXPECT_EQ(QStringLiteral("%1 %2 %3 %4")
                      .arg(r.values.arbejdstimer)
                      .arg(r.values.frokostVarighed)
                      .arg(r.values.frokostArbejdstid)
                      .arg(r.warnings.size()),
                  QLatin1String(read[i]));
    }
    EXPECT_EQ(readSettings(reg, false).warnings.value(0),
              QStringLiteral("Indstillingen \"Arbejdstimer\" med værdien \"1e300\" kan ikke "
                             "anvendes, fordi tallet er for stort.\r\n\r\nVærdien 7.4 bruges nu. "
                             "Den gemte værdi står uændret, så den kan rettes."));
    // The user's key is written whole; a missing value is written back only when asked.
    writeUserKey(reg, QStringLiteral("04-12-2026 08:15"), {7.25f, 30, 400},
                 QStringLiteral("/å.dat"));
    ASSERT_TRUE(reg.OpenKey(kHKeyCurrentUser, kSettingsKey, false, true));
    reg.DeleteValue("FrokostVarighed");
    EXPECT_EQ(readSettings(reg, false).filnavn, QStringLiteral("/å.dat"));
    EXPECT_FALSE(reg.ValueExists("FrokostVarighed"));
    EXPECT_EQ(readSettings(reg, true).values.frokostArbejdstid, 400);
    EXPECT_EQ(reg.ReadValue("FrokostVarighed") + reg.ReadValue("Arbejdstimer"), "507.25");
}

}  // namespace
}  // namespace horalog
