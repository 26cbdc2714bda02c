#include "registry/registry.h"

#include <gtest/gtest.h>

#include <ctime>

#ifndef _WIN32
#include <cstdlib>
#include <filesystem>

#include "registry/hive_file.h"
#endif

#include "registry_error_of.h"

namespace horalog {
namespace {

using testing::errorOf;
const std::string kSettingsPath = "Software\\Kvistborg\\Horalog";

#ifdef _WIN32
const std::string kLetters = "\xE6\xF8\xE5";  // the registry's code page
const bool kLinesRaise = false;

// The real registry without the program's keys before and after; the machine's key as an admin.
struct World {
    World() { clear(); }
    ~World() { clear(); }
    void clear() {
        for (const std::uint32_t root : {kHKeyCurrentUser, kHKeyLocalMachine}) {
            for (const auto& key :
                 {kSettingsPath + "\\Sub", kSettingsPath, std::string("Software\\Kvistborg")}) {
                backend->deleteKey(root, key);  // Windows deletes only a key without subkeys
            }
        }
    }
    std::shared_ptr<RegistryBackend> backend = makeSystemRegistryBackend();
    std::shared_ptr<RegistryBackend> admin = backend;
};
#else
const std::string kLetters = "\xC3\xA6\xC3\xB8\xC3\xA5";  // UTF-8
const bool kLinesRaise = true;                            // REGEDIT4 text holds no line break

// The store files in a fresh folder; the machine's store written as an administrator would.
struct World {
    ~World() { std::filesystem::remove_all(folder); }
    std::string folder = ::mkdtemp(std::string("/tmp/horalog-registry-XXXXXX").data());
    HivePaths paths{folder + "/user/HKEY_CURRENT_USER.reg",
                    folder + "/machine/HKEY_LOCAL_MACHINE.reg"};
    std::shared_ptr<RegistryBackend> backend = std::make_shared<HiveFileBackend>(paths);
    std::shared_ptr<RegistryBackend> admin = std::make_shared<HiveFileBackend>(paths, true);
};
#endif

class RegistryTest : public ::testing::Test {
protected:
    World world;
    CRegistry reg{world.backend};
};

// Each call's error, what a key holds, texts read back as written and undisturbed by later ones.
TEST_F(RegistryTest, ErrorsKeyInfoAndTextsRoundTrip) {
    // Any zone's date (UTC-12 to UTC+14): under Wine the C library and the registry's zones differ.
    const auto utcDay = [](std::time_t t) {
        const std::tm* g = std::gmtime(&t);
        return (g->tm_year + 1900) * 10000 + (g->tm_mon + 1) * 100 + g->tm_mday;
    };
    const std::time_t started = std::time(nullptr);
    CRegistry admin(world.admin);  // the machine's key is not the user's
    ASSERT_TRUE(admin.OpenKey(kHKeyLocalMachine, kSettingsPath, true, true));
    admin.WriteValue("Arbejdstimer", "7,5");
    ASSERT_TRUE(reg.OpenKey(kHKeyLocalMachine, kSettingsPath, false, false));
    EXPECT_EQ(reg.ReadValue("Arbejdstimer"), "7,5");
    EXPECT_FALSE(reg.OpenKey(kHKeyCurrentUser, kSettingsPath, false, true));
    EXPECT_EQ(reg.CurrentKey(), "");
    const std::string none = ": No key is currently open.";
    EXPECT_EQ(errorOf([&] { reg.ValueExists("Moedt"); }), "CRegistry:ReadValue" + none);
    EXPECT_EQ(errorOf([&] { reg.WriteValue("Moedt", " "); }), "CRegistry:WriteValue" + none);
    ASSERT_TRUE(reg.OpenKey(kHKeyCurrentUser, kSettingsPath, true, false));  // create: all access
    EXPECT_FALSE(reg.ValueExists("Arbejdstimer"));
    EXPECT_EQ(errorOf([&] { reg.ReadValue("Arbejdstimer"); }),
              "CRegistry:ReadValue: Failed to read value Arbejdstimer from Registry.");
    reg.WriteValue("Moedt", " ");
    ASSERT_TRUE(reg.OpenKey(kHKeyCurrentUser, kSettingsPath, false, false));  // read only
    EXPECT_EQ(errorOf([&] { reg.WriteValue("Moedt", "x"); }),
              "CRegistry:WriteValue: Failed to write new value to Moedt from Registry.");
    EXPECT_EQ(reg.ReadValue("Moedt"), " ");
    ASSERT_TRUE(reg.OpenKey(kHKeyCurrentUser, kSettingsPath + "\\Sub", true, true));
    ASSERT_TRUE(reg.OpenKey(kHKeyCurrentUser, kSettingsPath, true, true));
    reg.WriteValue("Arbejdstimer", "7.4");
    EXPECT_EQ((std::vector{reg.NumOfSubKeys(), reg.NumOfValues(), reg.MaxSubkeyNameLength(),
                           reg.MaxValueNameLength()}),
              (std::vector<std::int32_t>{1, 2, 3, 12}));
    const LocalTime w = reg.LastWriteTime();
    const int written = w.year * 10000 + w.month * 100 + w.day;
    EXPECT_TRUE(written == utcDay(started - 12 * 3600) || written == utcDay(started) ||
                written == utcDay(std::time(nullptr) + 14 * 3600))
        << written;
    const std::tuple<std::string, std::string, bool> cases[] = {
        {"Arbejdstimer", "7.4", false},
        {"Filnavn", "C:\\Horalog.Dat", false},
        {"quote\"name", "say \"hi\"", false},
        {"", "the unnamed value", false},
        {"Empty", "", false},  // an empty value reads back as the empty text
        {"Letters", kLetters, false},
        {"Lines", "one\r\ntwo", kLinesRaise},
        {"Fits", std::string(16383, 'x'), false}};
    for (const auto& [name, text, raises] : cases) {
        const std::string error = errorOf([&] { reg.WriteValue(name, text); });
        EXPECT_EQ(error + "|" + (reg.ValueExists(name) ? reg.ReadValue(name) : "(none)"),
                  raises ? "CRegistry:WriteValue: Failed to write new value to " + name +
                               " from Registry.|(none)"
                         : "|" + text);
    }
    EXPECT_EQ(reg.ReadValue("Arbejdstimer") + reg.ReadValue("Filnavn"), "7.4C:\\Horalog.Dat");
    reg.WriteValue("Big", std::string(16384, 'x'));  // beyond the buffer: counts as missing
    EXPECT_FALSE(reg.ValueExists("Big"));
}

}  // namespace
}  // namespace horalog
