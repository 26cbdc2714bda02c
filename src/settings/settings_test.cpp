#include "settings/settings.h"
#include "settings/file_location.h"

#include <gtest/gtest.h>

#include <QTemporaryDir>

#include "test_store.h"

namespace horalog {
namespace {

using namespace Qt::StringLiterals;

// Values as read (a number's first characters), or the defaults with a warning for each refused.
TEST(ReadSettings, StoredValuesAndDefaults) {
    QTemporaryDir dir;
    testing::TestStore testStore(dir.path());
    CRegistry reg(testStore.backend());
    SettingsStore store(reg);
    const QByteArray key = "REGEDIT4\n\n[HKEY_CURRENT_USER\\Software\\Kvistborg\\Horalog]\n";
    const std::pair<const char*, std::pair<WorkSettings, qsizetype>> cases[] = {
        {"", {{7.4f, 50, 450}, 0}},
        {"\"Arbejdstimer\"=\"7,5\"\n\"FrokostVarighed\"=\"31.5\"\n\"FrokostArbejdstid\"=\"&H10\"\n",
         {{7, 32, 16}, 0}},
        {"\"Arbejdstimer\"=\"1e300\"\n\"FrokostVarighed\"=\"40000\"\n\"FrokostArbejdstid\"="
         "\"32767\"\n",
         {{7.4f, 50, 32767}, 2}}};
    for (const auto& [stored, read] : cases) {
        testStore.seed(kHKeyCurrentUser, key + stored);
        const StoredSettings r = store.readUserKey();
        EXPECT_EQ(std::pair(r.values, r.warnings.size()), read);
    }
    EXPECT_EQ(store.readUserKey().warnings.value(0),
              u"Indstillingen \"Arbejdstimer\" med værdien \"1e300\" kan ikke anvendes, fordi "
              u"tallet er for stort.\r\n\r\nVærdien 7.4 bruges nu. Den gemte værdi står "
              u"uændret, så den kan rettes.");
    // Written whole but for the file's length, which an arrival writes; a missing value when asked.
    store.createUserKey(u"04-12-2026 08:15"_s, {7.25f, 30, 400}, u"/å.dat"_s);
    ASSERT_TRUE(reg.OpenKey(kHKeyCurrentUser, kSettingsKey, false, true));
    reg.DeleteValue("FrokostVarighed");
    EXPECT_EQ(store.readUserKey().filnavn, u"/å.dat");
    EXPECT_EQ(store.storedArrival(), u"04-12-2026 08:15");
    EXPECT_FALSE(testStore.userValue("FrokostVarighed") || testStore.userValue("MoedtFilLaengde"));
    EXPECT_EQ(store.readUserKey(true).values.frokostArbejdstid, 400);
    EXPECT_EQ(*testStore.userValue("FrokostVarighed") + *testStore.userValue("Arbejdstimer"),
              "507.25");
    store.write(Setting::MoedtFilLaengde, u"123"_s);
    EXPECT_EQ(store.readUserKey().moedtFilLaengde, 123);
}

#ifndef _WIN32
// Refused: a device or FIFO would hang the reading, a read-only file would fail every departure.
TEST(FileLocation, RefusesWhatCannotHoldTheRecords) {
    QTemporaryDir dir;
    const std::pair<QString, QString> cases[] = {
        {u"/dev/null"_s, u"\"/dev/null\" er ikke en almindelig fil."_s},
        {dir.path(), u'"' + dir.path() + u"\" er ikke en almindelig fil."_s},
        {u"/proc/Horalog.Dat"_s, u"Der kan ikke gemmes filer i mappen \"/proc\"."_s},  // no one's
        {u"/proc/sys/kernel/osrelease"_s,  // read-only even for root
         u"Der kan ikke skrives i filen \"/proc/sys/kernel/osrelease\"."_s},
        {dir.filePath(u"ny.dat"_s), {}}};
    for (const auto& [chosen, refusal] : cases) {
        const Outcome usable = usableLocation(chosen);
        EXPECT_EQ(usable.ok() ? QString() : usable.error(), refusal);
    }
}
#endif

}  // namespace
}  // namespace horalog
