#include "registry/hive_text.h"

#include <dirent.h>
#include <gtest/gtest.h>
#include <stdlib.h>
#include <sys/resource.h>
#include <sys/stat.h>
#include <sys/wait.h>
#include <unistd.h>

#include <csignal>
#include <fstream>
#include <sstream>

#include "registry/hive_file.h"
#include "registry/registry.h"

namespace horalog {
namespace {

const std::string kPath = "Software\\Kvistborg\\Horalog";

std::string readFile(const std::string& path) {
    std::ifstream in(path, std::ios::binary);
    std::stringstream s;
    s << in.rdbuf();
    return s.str();
}

void writeFile(const std::string& path, const std::string& text) {
    std::ofstream(path, std::ios::binary) << text;
}

class HiveFileTest : public ::testing::Test {
protected:
    void SetUp() override {
        char pattern[] = "/tmp/horalog-hive-XXXXXX";
        folder = ::mkdtemp(pattern);
        paths = {folder + "/HKEY_CURRENT_USER.reg", folder + "/HKEY_LOCAL_MACHINE.reg"};
    }
    void TearDown() override {
        ::chmod(folder.c_str(), 0700);
        EXPECT_EQ(std::system(("rm -rf '" + folder + "'").c_str()), 0);
    }
    std::shared_ptr<RegistryBackend> backend() { return std::make_shared<HiveFileBackend>(paths); }
    int filesInFolder() {
        int n = 0;
        DIR* dir = ::opendir(folder.c_str());
        while (dirent* e = ::readdir(dir)) {
            n += e->d_name[0] != '.';
        }
        ::closedir(dir);
        return n;
    }

    std::string folder;
    HivePaths paths;
};

TEST_F(HiveFileTest, WritesRegedit4Text) {
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
    EXPECT_EQ(filesInFolder(), 1);  // no temporary file left behind
    struct stat st {};
    ASSERT_EQ(::stat(paths.user.c_str(), &st), 0);
    EXPECT_EQ(st.st_mode & 0777, 0600u);  // the user's own settings
}

TEST_F(HiveFileTest, EditsByHandAreSeenAtOnce) {
    CRegistry reg(backend());
    ASSERT_TRUE(reg.OpenKey(kHKeyCurrentUser, kPath, true, true));
    reg.WriteValue("Arbejdstimer", "7.4");
    writeFile(paths.user,
              "REGEDIT4\r\n\r\n[HKEY_CURRENT_USER\\Software\\Kvistborg\\Horalog]\r\n"
              "\"Arbejdstimer\"=\"8\" \t \r\n");  // an editor's trailing blanks
    EXPECT_EQ(reg.ReadValue("Arbejdstimer"), "8");
    // A name written twice by hand: the later one holds, once.
    writeFile(paths.user,
              "REGEDIT4\n[HKEY_CURRENT_USER\\Software\\Kvistborg\\Horalog]\n"
              "\"a\"=\"1\"\n\"A\"=\"2\"\n");
    EXPECT_EQ(reg.ReadValue("a"), "2");
    EXPECT_EQ(reg.NumOfValues(), 1);
}

TEST_F(HiveFileTest, DamagedStoreIsAnErrorAndStaysUntouched) {
    const std::string damaged[] = {
        "",
        "REGEDIT5\n",
        "REGEDIT4\n\"Moedt\"=\" \"\n",                        // value outside a key
        "REGEDIT4\n[HKEY_CURRENT_USER\\Software\n",           // unclosed section
        "REGEDIT4\n[HKEY_LOCAL_MACHINE\\Software]\n",         // another root
        "REGEDIT4\n[HKEY_CURRENT_USER\\S]\n\"Moedt=\" \"\n",  // unclosed name
        "REGEDIT4\n[HKEY_CURRENT_USER\\S]\n\"a\"=\"\\n\"\n",  // unknown escape
        "REGEDIT4\n[HKEY_CURRENT_USER\\S]\n\"a\"=dword:00000001\n"};
    for (const auto& text : damaged) {
        writeFile(paths.user, text);
        CRegistry reg(backend());
        try {
            reg.OpenKey(kHKeyCurrentUser, kPath, true, true);
            ADD_FAILURE() << "opened a damaged store: " << text;
        } catch (const RegistryError& e) {
            EXPECT_EQ(e.source(), "CRegistry:OpenKey");
            EXPECT_NE(e.description().find(paths.user), std::string::npos);
        }
        EXPECT_EQ(readFile(paths.user), text);
    }
}

TEST_F(HiveFileTest, MachineStoreIsReadOnly) {
    CRegistry reg(backend());
    EXPECT_FALSE(reg.OpenKey(kHKeyLocalMachine, kPath, true, true));
    EXPECT_FALSE(std::ifstream(paths.machine).good());
}

// A new user's first start must not end on a machine-wide file they cannot use.
TEST_F(HiveFileTest, DamagedOrUnreadableMachineStoreCountsAsNoKey) {
    writeFile(paths.machine, "REGEDIT4\n[HKEY_LOCAL_MACHINE\\Software\n");
    CRegistry reg(backend());
    EXPECT_FALSE(reg.OpenKey(kHKeyLocalMachine, kPath, false, false));
    ::unlink(paths.machine.c_str());
    ::mkdir(paths.machine.c_str(), 0700);  // reading it fails
    EXPECT_FALSE(reg.OpenKey(kHKeyLocalMachine, kPath, false, false));
    ::rmdir(paths.machine.c_str());
    writeFile(paths.machine, "REGEDIT4\n\n[HKEY_LOCAL_MACHINE\\Software]\n\n");
    EXPECT_TRUE(reg.OpenKey(kHKeyLocalMachine, "Software", false, false));
}

// A write that stops part-way (a full disk, a size limit) raises and leaves the old file whole.
TEST_F(HiveFileTest, ShortWriteRaisesAndKeepsTheOldFile) {
    CRegistry reg(backend());
    ASSERT_TRUE(reg.OpenKey(kHKeyCurrentUser, kPath, true, true));
    reg.WriteValue("Arbejdstimer", "7.4");
    const std::string before = readFile(paths.user);
    const pid_t child = ::fork();
    if (child == 0) {
        ::signal(SIGXFSZ, SIG_IGN);
        const rlimit limit{4096, 4096};
        ::setrlimit(RLIMIT_FSIZE, &limit);
        try {
            reg.WriteValue("Filnavn", std::string(8192, 'x'));
        } catch (const RegistryError&) {
            ::_exit(0);
        }
        ::_exit(1);
    }
    int status = 0;
    ::waitpid(child, &status, 0);
    EXPECT_TRUE(WIFEXITED(status) && WEXITSTATUS(status) == 0);
    EXPECT_EQ(readFile(paths.user), before);
    EXPECT_EQ(filesInFolder(), 1);
}

TEST_F(HiveFileTest, UnwritableFolderRaisesAndKeepsTheOldFile) {
    CRegistry reg(backend());
    ASSERT_TRUE(reg.OpenKey(kHKeyCurrentUser, kPath, true, true));
    reg.WriteValue("Arbejdstimer", "7.4");
    const std::string before = readFile(paths.user);
    ::chmod(paths.user.c_str(), 0644);
    ::chmod(folder.c_str(), 0555);
    // Root writes anywhere, so the attempt runs as an ordinary user.
    const pid_t child = ::fork();
    if (child == 0) {
        if (::getuid() == 0 && (::setgid(65534) != 0 || ::setuid(65534) != 0)) {
            ::_exit(3);
        }
        CRegistry inner(backend());
        if (!inner.OpenKey(kHKeyCurrentUser, kPath, false, true)) {
            ::_exit(4);
        }
        try {
            inner.WriteValue("Arbejdstimer", "8");
        } catch (const RegistryError&) {
            ::_exit(0);
        }
        ::_exit(1);
    }
    int status = 0;
    ::waitpid(child, &status, 0);
    ASSERT_TRUE(WIFEXITED(status));
    EXPECT_EQ(WEXITSTATUS(status), 0);
    EXPECT_EQ(readFile(paths.user), before);
}

}  // namespace
}  // namespace horalog
