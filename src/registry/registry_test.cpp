#include "registry/registry.h"

#include <gtest/gtest.h>

#include <functional>

#include "registry/registry_test_world.h"

namespace horalog {
namespace {

using testing::kSettingsPath;

// The key error a call raises: its source and description, or "none".
std::string errorOf(const std::function<void()>& call) {
    try {
        call();
    } catch (const RegistryError& e) {
        EXPECT_EQ(e.number(), -2147221502);
        return e.source() + ": " + e.description();
    }
    return "none";
}

class RegistryTest : public ::testing::Test {
protected:
    std::unique_ptr<testing::RegistryWorld> world = testing::makeRegistryWorld();
    CRegistry reg{world->backend()};
};

TEST_F(RegistryTest, ErrorsOfEachCall) {
    world->seedMachineKey({{"Arbejdstimer", "7,5"}});  // the machine's key is not the user's
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
}

TEST_F(RegistryTest, TextsRoundTripOrRaise) {
    ASSERT_TRUE(reg.OpenKey(kHKeyCurrentUser, kSettingsPath, true, true));
    const std::pair<std::string, std::string> cases[] = {
        {"Arbejdstimer", "7.4"},
        {"Filnavn", "C:\\Horalog.Dat"},
        {"quote\"name", "say \"hi\""},
        {"", "the unnamed value"},
        {"Empty", ""},  // an empty value reads back as the empty text
        {"Letters", world->name() == "file" ? "\xC3\xA6\xC3\xB8\xC3\xA5" : "\xE6\xF8\xE5"},
        {"Lines", "one\r\ntwo"},
        {"Fits", std::string(16383, 'x')}};
    for (const auto& [name, text] : cases) {
        const std::string error = errorOf([&] { reg.WriteValue(name, text); });
        if (error == "none") {
            EXPECT_EQ(reg.ReadValue(name), text) << name;
        } else {
            EXPECT_EQ(error, "CRegistry:WriteValue: Failed to write new value to " + name +
                                 " from Registry.");
        }
    }
    // Nothing written later disturbed what was written first.
    EXPECT_EQ(reg.ReadValue("Arbejdstimer") + reg.ReadValue("Filnavn"), "7.4C:\\Horalog.Dat");
    reg.WriteValue("Big", std::string(16384, 'x'));  // beyond the buffer: counts as missing
    EXPECT_FALSE(reg.ValueExists("Big"));
}

}  // namespace
}  // namespace horalog
