#include "registry/hive_file.h"

#include <gtest/gtest.h>

#include <pwd.h>
#include <sys/stat.h>

#include <chrono>
#include <filesystem>
#include <fstream>
#include <functional>
#include <optional>
#include <set>
#include <thread>

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

std::set<std::string> namesIn(const std::string& folder) {
    std::set<std::string> names;
    for (const auto& entry : fs::directory_iterator(folder)) {
        names.insert(entry.path().filename().string());
    }
    return names;
}

TEST_F(HiveFileTest, WritesRegedit4Text) {
    paths.user = folder + "/config/horalog/HKEY_CURRENT_USER.reg";  // folders made for the user
    // The settings are the user's alone whatever the umask: not readable by others under 000.
    struct UmaskZero {
        mode_t before = ::umask(0);
        ~UmaskZero() { ::umask(before); }
    } umaskZero;
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
    EXPECT_EQ(namesIn(folder + "/config/horalog"),  // no temporary file left
              (std::set<std::string>{"HKEY_CURRENT_USER.reg", "HKEY_CURRENT_USER.reg.lock"}));
    EXPECT_EQ(fs::status(folder + "/config/horalog").permissions(), fs::perms::owner_all);
    for (const auto& file : {paths.user, paths.user + ".lock"}) {
        EXPECT_EQ(fs::status(file).permissions(), fs::perms::owner_read | fs::perms::owner_write)
            << file;
    }
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
    EXPECT_EQ(namesIn(folder),
              (std::set<std::string>{"HKEY_CURRENT_USER.reg", "HKEY_CURRENT_USER.reg.lock"}));
}

// Nothing but a regular file is a store: a FIFO at its path would stop --status and the window
// for good if it were opened for reading, and a device or folder is no settings file either.
TEST_F(HiveFileTest, OnlyARegularFileIsAStore) {
    const struct {
        const char* what;
        std::function<void(const std::string&)> make;
    } cases[] = {
        {"named pipe", [](const std::string& p) { ASSERT_EQ(::mkfifo(p.c_str(), 0600), 0); }},
        {"folder", [](const std::string& p) { fs::create_directory(p); }},
        {"device", [](const std::string& p) { fs::create_symlink("/dev/null", p); }},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.what);
        auto writer = backend();
        CRegistry open(writer);  // opened while the store was still a file
        ASSERT_TRUE(open.OpenKey(kHKeyCurrentUser, kPath, true, true));
        fs::remove(paths.user);
        c.make(paths.user);
        const auto start = std::chrono::steady_clock::now();
        try {
            CRegistry(backend()).OpenKey(kHKeyCurrentUser, kPath, false, false);
            ADD_FAILURE() << "read a store from a " << c.what;
        } catch (const RegistryError& e) {
            EXPECT_NE(e.description().find(c.what), std::string::npos) << e.description();
        }
        EXPECT_THROW(open.WriteValue("Moedt", " "), RegistryError);
        EXPECT_NE(writer->storeProblem().find(c.what), std::string::npos);
        EXPECT_LT(std::chrono::steady_clock::now() - start, std::chrono::seconds(2));
        EXPECT_FALSE(fs::is_regular_file(fs::symlink_status(paths.user)));  // left as it was
        fs::remove_all(paths.user);
    }
}

// A store that is a link (settings kept in a synced folder) stays a link: the new file replaces
// the link's target, so every name for it sees the change.
TEST_F(HiveFileTest, SymlinkedStoreIsWrittenThroughToItsTarget) {
    const struct {
        const char* what;
        std::string link;  // what paths.user points to
        std::string target;
        bool exists;
    } cases[] = {
        {"relative", "real/store.reg", folder + "/real/store.reg", true},
        {"absolute", folder + "/real/store.reg", folder + "/real/store.reg", true},
        {"link to a link", "hop.reg", folder + "/real/store.reg", true},
        {"dangling", "real/new.reg", folder + "/real/new.reg", false},
    };
    fs::create_directory(folder + "/real");
    fs::create_symlink("real/store.reg", folder + "/hop.reg");
    for (const auto& c : cases) {
        SCOPED_TRACE(c.what);
        fs::remove(c.target);
        if (c.exists) {
            writeFile(c.target, "REGEDIT4\n\n[HKEY_CURRENT_USER\\Software]\n\"Andet\"=\"1\"\n");
        }
        fs::remove(paths.user);
        fs::create_symlink(c.link, paths.user);
        CRegistry reg(backend());
        ASSERT_TRUE(reg.OpenKey(kHKeyCurrentUser, kPath, true, true));
        reg.WriteValue("Moedt", "08:00");
        EXPECT_TRUE(fs::is_symlink(paths.user));
        EXPECT_EQ(fs::read_symlink(paths.user), c.link);
        EXPECT_NE(readFile(c.target).find("\"Moedt\"=\"08:00\""), std::string::npos);
        EXPECT_EQ(readFile(c.target).find("Andet") != std::string::npos, c.exists);
        EXPECT_EQ(CRegistry(backend()).OpenKey(kHKeyCurrentUser, kPath), true);
    }
    // The lock is the target's, beside it, as every link to it shares it.
    EXPECT_EQ(namesIn(folder + "/real"),
              (std::set<std::string>{"new.reg", "new.reg.lock", "store.reg", "store.reg.lock"}));
}

// A writer killed between its temporary file and the rename leaves the file behind; the next
// write takes it away, but nothing that merely resembles one.
TEST_F(HiveFileTest, LeftoverTemporaryFilesGoAtTheNextWrite) {
    CRegistry reg(backend());
    ASSERT_TRUE(reg.OpenKey(kHKeyCurrentUser, kPath, true, true));
    const std::set<std::string> kept = {
        "HKEY_CURRENT_USER.reg",         "HKEY_CURRENT_USER.reg.lock",
        "HKEY_CURRENT_USER.reg.backup",   // the user's copy
        "HKEY_CURRENT_USER.reg.AbC12",    // too short for a temporary file
        "HKEY_CURRENT_USER.reg.AbC12-",   // not a name mkstemp makes
        "HKEY_LOCAL_MACHINE.reg.AbC123",  // another store's
    };
    for (const auto& name : kept) {
        if (!fs::exists(folder + "/" + name)) {
            writeFile(folder + "/" + name, "REGEDIT4\n");
        }
    }
    writeFile(paths.user + ".AbC123", "REGEDIT4\n\n[HKEY_CURRENT");
    writeFile(paths.user + ".x9y8z7", "");
    fs::create_directory(paths.user + ".Q1w2E3");  // not a file: not ours either
    reg.WriteValue("Moedt", " ");
    std::set<std::string> expected = kept;
    expected.insert("HKEY_CURRENT_USER.reg.Q1w2E3");
    EXPECT_EQ(namesIn(folder), expected);
}

// Without HOME (a service, a cron job with a cleared environment) the store is in the home the
// password database gives, never in a folder every user can write to.
TEST(HivePaths, HomeFolderWithoutHome) {
    const passwd* entry = ::getpwuid(::getuid());
    ASSERT_NE(entry, nullptr);
    const std::string own = entry->pw_dir;
    const char* unset = nullptr;
    const struct {
        const char* home;
        const char* xdg;
        std::string homeFolder;
        std::string userStore;
    } cases[] = {
        {unset, unset, own, own + "/.config/horalog/HKEY_CURRENT_USER.reg"},
        {"", unset, own, own + "/.config/horalog/HKEY_CURRENT_USER.reg"},
        {"home", "config", own, own + "/.config/horalog/HKEY_CURRENT_USER.reg"},  // not absolute
        {"/h", unset, "/h", "/h/.config/horalog/HKEY_CURRENT_USER.reg"},
        {unset, "/x", own, "/x/horalog/HKEY_CURRENT_USER.reg"},
    };
    const auto keep = [](const char* name) {
        const char* v = std::getenv(name);
        return v == nullptr ? std::optional<std::string>() : std::string(v);
    };
    const auto put = [](const char* name, const char* value) {
        value == nullptr ? ::unsetenv(name) : ::setenv(name, value, 1);
    };
    const auto home = keep("HOME"), xdg = keep("XDG_CONFIG_HOME");
    for (const auto& c : cases) {
        put("HOME", c.home);
        put("XDG_CONFIG_HOME", c.xdg);
        EXPECT_EQ(userHomeFolder(), c.homeFolder) << (c.home ? c.home : "(unset)");
        EXPECT_EQ(defaultHivePaths().user, c.userStore) << (c.home ? c.home : "(unset)");
    }
    put("HOME", home ? home->c_str() : nullptr);
    put("XDG_CONFIG_HOME", xdg ? xdg->c_str() : nullptr);
}

// Changed in place with the same size, within one tick of the file system's clock: a change a
// cached store could miss.
TEST_F(HiveFileTest, EditInPlaceIsSeenAtOnce) {
    const auto store = [](char hours) {
        return std::string("REGEDIT4\n\n[HKEY_CURRENT_USER\\Software\\Kvistborg\\Horalog]\n") +
               "\"Arbejdstimer\"=\"" + hours + "\"\n";
    };
    for (const bool old : {false, true}) {
        writeFile(paths.user, store('7'));
        if (old) {  // settled, as a store mostly is
            std::this_thread::sleep_for(std::chrono::milliseconds(300));
        }
        CRegistry reg(backend());
        ASSERT_TRUE(reg.OpenKey(kHKeyCurrentUser, kPath));
        EXPECT_EQ(reg.ReadValue("Arbejdstimer"), "7");
        std::fstream(paths.user, std::ios::in | std::ios::out | std::ios::binary) << store('8');
        EXPECT_EQ(reg.ReadValue("Arbejdstimer"), "8") << "old: " << old;
    }
}

// A large store (the program's key among many others, as an exported registry holds them) is
// parsed when it changed, not at each of the many reads of one command: 400 reads and a write
// of a 2 MB store took minutes when every read parsed it (the bound leaves room for a loaded
// machine under the sanitizers).
TEST_F(HiveFileTest, LargeStoreIsParsedOncePerChange) {
    std::string text = "REGEDIT4\n\n[HKEY_CURRENT_USER\\Software\\Kvistborg\\Horalog]\n";
    for (int i = 0; i < 200; ++i) {
        text += "\"Navn" + std::to_string(i) + "\"=\"" + std::string(30, 'x') + "\"\n";
    }
    for (int i = 0; text.size() < (2u << 20); ++i) {
        text += "\n[HKEY_CURRENT_USER\\Software\\Andet\\N" + std::to_string(i) + "]\n\"v\"=\"1\"\n";
    }
    writeFile(paths.user, text);
    const auto start = std::chrono::steady_clock::now();
    CRegistry reg(backend());
    ASSERT_TRUE(reg.OpenKey(kHKeyCurrentUser, kPath, false, true));
    for (const char* value : {"", "08:00"}) {
        if (*value != '\0') {
            reg.WriteValue("Moedt", value);
        }
        for (int i = 0; i < 200; ++i) {
            EXPECT_EQ(reg.ValueExists("Moedt"), *value != '\0');
            EXPECT_EQ(reg.ReadValue("Navn" + std::to_string(i)), std::string(30, 'x'));
        }
    }
    EXPECT_LT(std::chrono::steady_clock::now() - start, std::chrono::seconds(10));
}

}  // namespace
}  // namespace horalog
