#include "registry/registry.h"

#include <gtest/gtest.h>

#include <functional>
#include <map>

#include "registry/registry_test_world.h"

namespace horalog {
namespace {

using testing::kSettingsPath;

class RegistryTest : public ::testing::Test {
protected:
    void SetUp() override {
        world = testing::makeRegistryWorld();
        backend = world->backend();
    }

    template <typename F>
    static RegistryError errorOf(F&& f) {
        try {
            f();
        } catch (const RegistryError& e) {
            return e;
        }
        ADD_FAILURE() << "no key error raised";
        return RegistryError("", "");
    }

    std::unique_ptr<testing::RegistryWorld> world;
    std::shared_ptr<RegistryBackend> backend;
};

TEST_F(RegistryTest, OpenKeyNormalisesThePath) {
    CRegistry reg(backend);
    ASSERT_TRUE(reg.OpenKey(kHKeyCurrentUser, "\\Software/Kvistborg/Horalog", true, true));
    EXPECT_EQ(reg.CurrentKey(), "Software\\Kvistborg\\Horalog");
    reg.CloseKey();
    // Key names are not case sensitive.
    EXPECT_TRUE(reg.OpenKey(kHKeyCurrentUser, "software\\KVISTBORG\\horalog"));
}

TEST_F(RegistryTest, MissingKeyWithoutCreateLeavesNoKeyOpen) {
    CRegistry reg(backend);
    EXPECT_FALSE(reg.OpenKey(kHKeyCurrentUser, kSettingsPath, false, true));
    EXPECT_EQ(reg.CurrentKey(), "");

    const struct {
        std::function<void()> call;
        const char* source;
    } cases[] = {{[&] { reg.ReadValue("Moedt"); }, "CRegistry:ReadValue"},
                 {[&] { reg.ValueExists("Moedt"); }, "CRegistry:ReadValue"},
                 {[&] { reg.WriteValue("Moedt", " "); }, "CRegistry:WriteValue"},
                 {[&] { reg.DeleteValue("Moedt"); }, "CRegistry:DeleteValue"}};
    for (const auto& c : cases) {
        const RegistryError e = errorOf(c.call);
        EXPECT_EQ(e.source(), c.source);
        EXPECT_EQ(e.description(), "No key is currently open.");
        EXPECT_EQ(e.number(), -2147221502);
    }
}

TEST_F(RegistryTest, ReadOnlyKeyRefusesWrites) {
    CRegistry reg(backend);
    ASSERT_TRUE(reg.OpenKey(kHKeyCurrentUser, kSettingsPath, true, false));  // create: all access
    reg.WriteValue("Moedt", " ");
    ASSERT_TRUE(reg.OpenKey(kHKeyCurrentUser, kSettingsPath, false, false));
    const RegistryError e = errorOf([&] { reg.WriteValue("Moedt", "x"); });
    EXPECT_EQ(e.source(), "CRegistry:WriteValue");
    EXPECT_EQ(e.description(), "Failed to write new value to Moedt from Registry.");
    EXPECT_EQ(reg.ReadValue("Moedt"), " ");
}

TEST_F(RegistryTest, TextsRoundTripOrRaise) {
    CRegistry reg(backend);
    ASSERT_TRUE(reg.OpenKey(kHKeyCurrentUser, kSettingsPath, true, true));
    const std::pair<std::string, std::string> cases[] = {
        {"Arbejdstimer", "7.4"},
        {"Moedt", " "},
        {"Filnavn", "C:\\Horalog.Dat"},
        {"quote\"name", "say \"hi\""},
        {"back\\slash", "\\\\server\\share\\"},
        {"a=b", "x=y"},
        {"[section]", "[HKEY_CURRENT_USER\\Software]"},
        {"", "the unnamed value"},
        {"Empty", ""},  // an empty value reads back as the empty text
        {"Letters", world->name() == "file" ? "\xC3\xA6\xC3\xB8\xC3\xA5" : "\xE6\xF8\xE5"},
        {"Lines", "one\r\ntwo"},
        {"Lines2", "one\ntwo"}};
    for (const auto& [name, text] : cases) {
        try {
            reg.WriteValue(name, text);
        } catch (const RegistryError& e) {
            EXPECT_EQ(e.description(), "Failed to write new value to " + name + " from Registry.");
            continue;
        }
        EXPECT_EQ(reg.ReadValue(name), text) << name;
    }
    // Nothing written later disturbed what was written first.
    EXPECT_EQ(reg.ReadValue("Arbejdstimer"), "7.4");
    EXPECT_EQ(reg.ReadValue("Filnavn"), "C:\\Horalog.Dat");
}

TEST_F(RegistryTest, MissingValue) {
    CRegistry reg(backend);
    ASSERT_TRUE(reg.OpenKey(kHKeyCurrentUser, kSettingsPath, true, true));
    EXPECT_FALSE(reg.ValueExists("Arbejdstimer"));
    const RegistryError e = errorOf([&] { reg.ReadValue("Arbejdstimer"); });
    EXPECT_EQ(e.source(), "CRegistry:ReadValue");
    EXPECT_EQ(e.description(), "Failed to read value Arbejdstimer from Registry.");
    const RegistryError d = errorOf([&] { reg.DeleteValue("Arbejdstimer"); });
    EXPECT_EQ(d.description(), "Failed to delete value Arbejdstimer from Registry.");
    reg.WriteValue("Arbejdstimer", "7.4");
    reg.DeleteValue("Arbejdstimer");
    EXPECT_FALSE(reg.ValueExists("Arbejdstimer"));  // the file itself no longer holds it
    // A key deleted by someone else while it is open: its values are gone, not half there.
    CRegistry other(backend);
    ASSERT_TRUE(other.OpenKey(kHKeyCurrentUser, kSettingsPath, false, true));
    other.DeleteKey();
    EXPECT_THROW(reg.ReadValue("Moedt"), RegistryError);
}

TEST_F(RegistryTest, ValueBeyondTheBufferCountsAsMissing) {
    CRegistry reg(backend);
    ASSERT_TRUE(reg.OpenKey(kHKeyCurrentUser, kSettingsPath, true, true));
    reg.WriteValue("Fits", std::string(16383, 'x'));
    reg.WriteValue("Big", std::string(16384, 'x'));
    EXPECT_EQ(reg.ReadValue("Fits").size(), 16383u);
    EXPECT_FALSE(reg.ValueExists("Big"));
    EXPECT_THROW(reg.ReadValue("Big"), RegistryError);
}

TEST_F(RegistryTest, DeleteKey) {
    CRegistry reg(backend);
    ASSERT_TRUE(reg.OpenKey(kHKeyCurrentUser, kSettingsPath, true, true));
    ASSERT_TRUE(reg.OpenKey(kHKeyCurrentUser, "Software\\Kvistborg", false, true));
    const RegistryError e = errorOf([&] { reg.DeleteKey(); });
    EXPECT_EQ(e.source(), "CRegistry:DeleteKey");
    EXPECT_EQ(e.description(), "Failed to delete key Software\\Kvistborg.");
    EXPECT_EQ(reg.CurrentKey(), "");

    ASSERT_TRUE(reg.OpenKey(kHKeyCurrentUser, kSettingsPath, false, true));
    EXPECT_NO_THROW(reg.DeleteKey());
    EXPECT_FALSE(reg.OpenKey(kHKeyCurrentUser, kSettingsPath));
    EXPECT_TRUE(reg.OpenKey(kHKeyCurrentUser, "Software\\Kvistborg"));
}

TEST_F(RegistryTest, KeyInformationAndEnumeration) {
    CRegistry reg(backend);
    ASSERT_TRUE(reg.OpenKey(kHKeyCurrentUser, kSettingsPath + "\\Child", true, true));
    ASSERT_TRUE(reg.OpenKey(kHKeyCurrentUser, kSettingsPath, false, true));
    reg.WriteValue("Moedt", " ");
    reg.WriteValue("FrokostArbejdstid", "450");
    EXPECT_EQ(reg.NumOfValues(), 2);
    EXPECT_EQ(reg.NumOfSubKeys(), 1);
    EXPECT_EQ(reg.MaxSubkeyNameLength(), 5);
    EXPECT_EQ(reg.MaxValueNameLength(), 17);
    EXPECT_GE(reg.MaxValueLength(), 3);
    EXPECT_EQ(reg.KeyClass(), "");
    EXPECT_GE(reg.LastWriteTime().year, 2000);

    const std::string sub = reg.ReadSubKey();
    EXPECT_EQ(sub.size(), 2000u);
    EXPECT_EQ(sub.substr(0, sub.find('\0')), "Child");
    EXPECT_EQ(reg.ReadSubKey(), std::string(2000, '\0'));

    std::map<std::string, std::string> seen;
    for (std::string name, data = reg.GetEnumValues(name); !name.empty();
         data = reg.GetEnumValues(name)) {
        seen[name] = data;
    }
    EXPECT_EQ(seen,
              (std::map<std::string, std::string>{{"Moedt", " "}, {"FrokostArbejdstid", "450"}}));
}

TEST_F(RegistryTest, MachineKeyIsReadable) {
    world->seedMachineKey({{"Arbejdstimer", "7,5"}});
    CRegistry reg(backend);
    ASSERT_TRUE(reg.OpenKey(kHKeyLocalMachine, kSettingsPath, false, false));
    EXPECT_EQ(reg.ReadValue("Arbejdstimer"), "7,5");
    EXPECT_FALSE(reg.OpenKey(kHKeyCurrentUser, kSettingsPath));
}

}  // namespace
}  // namespace horalog
