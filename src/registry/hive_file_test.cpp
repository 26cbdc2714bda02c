#include "registry/hive_file.h"

#include <gtest/gtest.h>

#include <filesystem>
#include <fstream>

#include "registry/registry.h"
#include "size_limit.h"

namespace horalog {
namespace {

namespace fs = std::filesystem;
const std::string kPath = "Software\\Kvistborg\\Horalog";

std::string readFile(const std::string& path) {
    return {std::istreambuf_iterator<char>(std::ifstream(path, std::ios::binary).rdbuf()), {}};
}

void writeFile(const std::string& path, const std::string& text) {
    std::ofstream(path, std::ios::binary) << text;
}

class HiveFileTest : public ::testing::Test {
protected:
    ~HiveFileTest() override { fs::remove_all(folder); }
    std::shared_ptr<RegistryBackend> backend() { return std::make_shared<HiveFileBackend>(paths); }

    std::string folder = ::mkdtemp(std::string("/tmp/horalog-hive-XXXXXX").data());
    HivePaths paths{folder + "/HKEY_CURRENT_USER.reg", folder + "/HKEY_LOCAL_MACHINE.reg"};
};

TEST_F(HiveFileTest, WritesRegedit4Text) {
    paths.user = folder + "/config/horalog/HKEY_CURRENT_USER.reg";  // folders made for the user
    CRegistry reg(backend());
    ASSERT_TRUE(reg.OpenKey(kHKeyCurrentUser, kPath, true, true));
    reg.WriteValue("Moedt", " ");
    reg.WriteValue("Filnavn", "C:\\Horalog.Dat");
    reg.WriteValue("", "say \"x\"");
    EXPECT_EQ(readFile(paths.user),
              "REGEDIT4\n\n"
              "[HKEY_CURRENT_USER\\Software]\n\n"
              "[HKEY_CURRENT_USER\\Software\\Kvistborg]\n\n"
              "[HKEY_CURRENT_USER\\Software\\Kvistborg\\Horalog]\n"
              "\"Moedt\"=\" \"\n"
              "\"Filnavn\"=\"C:\\\\Horalog.Dat\"\n"
              "@=\"say \\\"x\\\"\"\n\n");
    EXPECT_EQ(std::distance(fs::directory_iterator(folder + "/config/horalog"), {}), 1);  // only it
    EXPECT_EQ(fs::status(folder + "/config/horalog").permissions(), fs::perms::owner_all);
    EXPECT_EQ(fs::status(paths.user).permissions(),  // the user's own settings
              fs::perms::owner_read | fs::perms::owner_write);
    // Edited by hand: an editor's trailing blanks, and a name written twice (the later holds).
    writeFile(paths.user,
              "REGEDIT4\r\n\r\n[HKEY_CURRENT_USER\\Software\\Kvistborg\\Horalog]\r\n"
              "\"Arbejdstimer\"=\"8\" \t \r\n\"a\"=\"1\"\r\n\"A\"=\"2\"\r\n");
    EXPECT_EQ(reg.ReadValue("Arbejdstimer") + reg.ReadValue("a"), "82");
    EXPECT_EQ(reg.NumOfValues(), 2);
}

TEST_F(HiveFileTest, DamagedStoresAreErrorsOrNoKey) {
    const std::string damaged[] = {
        "",
        "REGEDIT5\n",
        "REGEDIT4\n\"Moedt\"=\" \"\n",                        // value outside a key
        "REGEDIT4\n[HKEY_CURRENT_USER\\Software\n",           // unclosed section
        "REGEDIT4\n[HKEY_LOCAL_MACHINE\\Software]\n",         // another root
        "REGEDIT4\n[HKEY_CURRENT_USER\\S]\n\"Moedt=\" \"\n",  // unclosed name
        "REGEDIT4\n[HKEY_CURRENT_USER\\S]\n\"a\"=\"\\n\"\n",  // unknown escape
        "REGEDIT4\n[HKEY_CURRENT_USER\\S]\n\"a\"=dword:00000001\n",
        "REGEDIT4\n[HKEY_CURRENT_USER\\S]\n\"a\"=x1\"\n",   // value without its opening quote
        "REGEDIT4\n[HKEY_CURRENT_USER\\S]\n\"a\"x\"1\"\n",  // no "=" between name and value
        "REGEDIT4\n[HKEY_CURRENT_USER\\S]\n\"a\"=\"" + std::string(17 << 20, 'x') +
            "\"\n"};  // too large to be a settings file
    for (const auto& text : damaged) {
        writeFile(paths.user, text);
        try {
            CRegistry(backend()).OpenKey(kHKeyCurrentUser, kPath, true, true);
            ADD_FAILURE() << "opened a damaged store: " << text.substr(0, 60);
        } catch (const RegistryError& e) {
            EXPECT_EQ(e.source(), "CRegistry:OpenKey");
            EXPECT_NE(e.description().find(paths.user), std::string::npos);
        }
        EXPECT_EQ(readFile(paths.user), text);
    }
    fs::remove(paths.user);
    fs::create_symlink(paths.user, paths.user);  // unopenable (a loop): not an empty store
    EXPECT_THROW(CRegistry(backend()).OpenKey(kHKeyCurrentUser, kPath, true, true), RegistryError);
    // The machine-wide store is never written, and a damaged one counts as no key: a new
    // user's first start must not end on a file they cannot mend.
    CRegistry reg(backend());
    EXPECT_FALSE(reg.OpenKey(kHKeyLocalMachine, kPath, true, true));
    EXPECT_FALSE(std::ifstream(paths.machine).good());
    writeFile(paths.machine, "REGEDIT4\n[HKEY_LOCAL_MACHINE\\Software\n");
    EXPECT_FALSE(reg.OpenKey(kHKeyLocalMachine, kPath, false, false));
    writeFile(paths.machine, "REGEDIT4\n\n[HKEY_LOCAL_MACHINE\\Software]\n\n");
    EXPECT_TRUE(reg.OpenKey(kHKeyLocalMachine, "Software", false, false));
}

// A write that stops part-way (a size limit in a child process, as a full disk) raises and keeps
// the old file whole; the new text never replaces it.
TEST_F(HiveFileTest, FailedWriteRaisesAndKeepsTheOldFile) {
    CRegistry(backend()).OpenKey(kHKeyCurrentUser, kPath, true, true);
    const std::string before = readFile(paths.user);
    EXPECT_TRUE(testing::failsWithSizeLimit(4096, [this] {
        CRegistry reg(backend());
        reg.OpenKey(kHKeyCurrentUser, kPath, false, true);
        try {
            reg.WriteValue("Filnavn", std::string(8192, 'x'));
        } catch (const RegistryError&) {
            return true;
        }
        return false;
    }));
    EXPECT_EQ(readFile(paths.user), before);
    EXPECT_EQ(std::distance(fs::directory_iterator(folder), {}), 1);
}

}  // namespace
}  // namespace horalog
