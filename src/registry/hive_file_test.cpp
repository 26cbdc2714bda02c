#include "registry/hive_file.h"

#include <fcntl.h>
#include <gtest/gtest.h>
#include <pwd.h>
#include <sys/stat.h>

#include <chrono>
#include <filesystem>
#include <fstream>
#include <functional>
#include <set>
#include <thread>

#include "registry/registry.h"
#include "registry_error_of.h"
#include "size_limit.h"

namespace horalog {
namespace {

namespace fs = std::filesystem;
using testing::errorOf;
using Names = std::set<std::string>;
const std::string kPath = "Software\\Kvistborg\\Horalog";
const std::string kStore = "REGEDIT4\n\n[HKEY_CURRENT_USER\\Software\\Kvistborg\\Horalog]\n";

std::string readFile(const std::string& path) {
    return {std::istreambuf_iterator<char>(std::ifstream(path, std::ios::binary).rdbuf()), {}};
}

void writeFile(const std::string& path, const std::string& text) {
    std::ofstream(path, std::ios::binary) << text;
}

Names namesIn(const std::string& folder) {
    Names names;
    for (const auto& entry : fs::directory_iterator(folder)) {
        names.insert(entry.path().filename());
    }
    return names;
}

int noLocks(int) {
    errno = ENOLCK;  // as NFS without its lock daemon
    return -1;
}

class HiveFileTest : public ::testing::Test {
protected:
    ~HiveFileTest() override {
        hiveFileHooks() = HiveFileHooks{};
        fs::remove_all(folder);
    }
    std::shared_ptr<RegistryBackend> backend() { return std::make_shared<HiveFileBackend>(paths); }
    void open(CRegistry& reg) { ASSERT_TRUE(reg.OpenKey(kHKeyCurrentUser, kPath, true, true)); }

    // Two programs (two windows, --status from a panel) write a value each, round after round,
    // each checking first that its last one is still there. What went wrong.
    std::string writeAgainstEachOther(int rounds) {
        const std::string names[] = {"Moedt", "Arbejdstimer"};
        std::string report[2];
        const auto writer = [&](int w) {
            report[w] = errorOf([&] {
                CRegistry reg(backend());
                open(reg);
                for (int i = 0; i < rounds; ++i) {
                    if (i > 0 && reg.ReadValue(names[w]) != std::to_string(i - 1)) {
                        throw RegistryError(names[w], "undone in round " + std::to_string(i));
                    }
                    reg.WriteValue(names[w], std::to_string(i));
                }
            });
        };
        std::thread first(writer, 0), second(writer, 1);
        first.join();
        second.join();
        return report[0] + report[1];
    }

    // In memory where there is such a folder: the disk's syncs made the writers take up to 45 s.
    std::string folder = ::mkdtemp(
        ((fs::is_directory("/dev/shm") ? "/dev/shm" : "/tmp") + std::string("/horalog-XXXXXX"))
            .data());
    HivePaths paths{folder + "/HKEY_CURRENT_USER.reg", folder + "/HKEY_LOCAL_MACHINE.reg"};
};

// The settings are the user's alone whatever the umask, in folders made for them.
TEST_F(HiveFileTest, WritesRegedit4Text) {
    paths.user = folder + "/config/horalog/HKEY_CURRENT_USER.reg";
    const mode_t umaskBefore = ::umask(0);
    CRegistry reg(backend());
    open(reg);
    reg.WriteValue("Moedt", " ");
    reg.WriteValue("Filnavn", "C:\\Horalog.Dat");
    reg.WriteValue("", "say \"x\"");
    EXPECT_NE(errorOf([&] { reg.WriteValue("Moedt", "1\n2"); }), "");  // no line breaks in REGEDIT4
    ::umask(umaskBefore);
    EXPECT_EQ(
        readFile(paths.user),
        "REGEDIT4\n\n[HKEY_CURRENT_USER\\Software]\n\n[HKEY_CURRENT_USER\\Software\\Kvistborg]\n\n"
        "[HKEY_CURRENT_USER\\Software\\Kvistborg\\Horalog]\n\"Moedt\"=\" \"\n"
        "\"Filnavn\"=\"C:\\\\Horalog.Dat\"\n@=\"say \\\"x\\\"\"\n\n");
    EXPECT_EQ(reg.NumOfValues(), 3);
    EXPECT_EQ(fs::status(folder + "/config/horalog").permissions(), fs::perms::owner_all);
    const auto rw = fs::perms::owner_read | fs::perms::owner_write;
    EXPECT_EQ(fs::status(paths.user).permissions(), rw);
    EXPECT_EQ(fs::status(paths.user + ".lock").permissions(), rw);
}

// A damaged store raises and stays as it was: taken for an empty one, it would be overwritten
// with defaults.
TEST_F(HiveFileTest, DamagedUserStoreRaisesUntouched) {
    const std::string key = "REGEDIT4\n[HKEY_CURRENT_USER\\S]\n";
    const std::string damaged[] = {
        "",
        "REGEDIT5\n",
        "REGEDIT4\n\"Moedt\"=\" \"\n",                            // value outside a key
        "REGEDIT4\n[HKEY_CURRENT_USER\\Software\n",               // unclosed section
        "REGEDIT4\n[HKEY_LOCAL_MACHINE\\Software]\n",             // another root
        key + "\"Moedt=\" \"\n",                                  // unclosed name
        key + "\"a\"=\"\\n\"\n",                                  // unknown escape
        key + "\"a\"=dword:00000001\n",                           // no opening quote
        key + "\"a\"x\"1\"\n",                                    // no "=" between name and value
        key + "\"a\"=\"" + std::string(17 << 20, 'x') + "\"\n"};  // too large for settings
    for (const auto& text : damaged) {
        writeFile(paths.user, text);
        EXPECT_EQ(errorOf([&] { CRegistry(backend()).OpenKey(kHKeyCurrentUser, kPath, true); }),
                  "CRegistry:OpenKey: The settings file " + paths.user +
                      " is damaged and cannot be read.")
            << text.substr(0, 60);
        EXPECT_EQ(readFile(paths.user), text);
    }
    fs::remove(paths.user);
    fs::create_symlink(paths.user, paths.user);  // unopenable (a loop): not an empty store
    EXPECT_THROW(CRegistry(backend()).OpenKey(kHKeyCurrentUser, kPath), RegistryError);
    EXPECT_THROW(CRegistry(backend()).OpenKey(kHKeyCurrentUser, kPath, true, true), RegistryError);
}

// The machine-wide store is only read, and a missing or damaged one counts as no key: a new
// user's first start must not end on a file they cannot mend.
TEST_F(HiveFileTest, DamagedMachineStoreIsNoKey) {
    CRegistry reg(backend());
    EXPECT_FALSE(reg.OpenKey(kHKeyLocalMachine, kPath, true, true));
    EXPECT_FALSE(fs::exists(paths.machine));
    writeFile(paths.machine, "REGEDIT4\n[HKEY_LOCAL_MACHINE\\Software\n");
    EXPECT_FALSE(reg.OpenKey(kHKeyLocalMachine, kPath));
    writeFile(paths.machine, "REGEDIT4\n\n[HKEY_LOCAL_MACHINE\\Software]\n\n");
    EXPECT_TRUE(reg.OpenKey(kHKeyLocalMachine, "Software"));
}

// A write that stops part-way (a size limit in a child process, as a full disk) raises, as a
// full disk for the user to be told, and leaves the old file whole and no temporary file.
TEST_F(HiveFileTest, FailedWriteRaisesAndKeepsTheOldFile) {
    CRegistry reg(backend());
    open(reg);
    const std::string before = readFile(paths.user);
    EXPECT_TRUE(testing::failsWithSizeLimit(4096, [&] {
        try {
            reg.WriteValue("Filnavn", std::string(8192, 'x'));
        } catch (const RegistryError& e) {
            return e.result() == kDiskFull;
        }
        return false;
    }));
    EXPECT_EQ(readFile(paths.user), before);
    EXPECT_EQ(namesIn(folder), (Names{"HKEY_CURRENT_USER.reg", "HKEY_CURRENT_USER.reg.lock"}));
}

// Only a regular file is a store: a FIFO opened for reading would stop --status and the window
// for good, and a device or folder is no settings file either.
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
        CRegistry opened(writer);  // opened while the store was still a file
        open(opened);
        fs::remove(paths.user);
        c.make(paths.user);
        const auto start = std::chrono::steady_clock::now();
        EXPECT_NE(
            errorOf([&] { CRegistry(backend()).OpenKey(kHKeyCurrentUser, kPath); }).find(c.what),
            std::string::npos);
        EXPECT_NE(errorOf([&] { opened.WriteValue("Moedt", " "); }), "");
        EXPECT_NE(writer->storeProblem().find(c.what), std::string::npos);
        EXPECT_LT(std::chrono::steady_clock::now() - start, std::chrono::seconds(2));
        EXPECT_FALSE(fs::is_regular_file(fs::symlink_status(paths.user)));  // left as it was
        fs::remove_all(paths.user);
    }
}

// A store that is a link (settings kept in a synced folder) stays a link: the new file replaces
// the link's target, so every name for it sees the change. The lock is the target's, beside it.
TEST_F(HiveFileTest, SymlinkedStoreIsWrittenThroughToItsTarget) {
    const std::string real = folder + "/real/";
    const std::pair<std::string, std::string> cases[] = {
        // the link at paths.user, its file
        {real + "store.reg", real + "store.reg"},
        {"hop.reg", real + "store.reg"},     // a relative link to a relative link
        {"real/new.reg", real + "new.reg"},  // to no file yet
    };
    fs::create_directory(real);
    writeFile(real + "store.reg", "REGEDIT4\n\n[HKEY_CURRENT_USER\\Software]\n\"Andet\"=\"1\"\n");
    fs::create_symlink("real/store.reg", folder + "/hop.reg");
    for (const auto& [link, target] : cases) {
        SCOPED_TRACE(link);
        fs::remove(paths.user);
        fs::create_symlink(link, paths.user);
        CRegistry reg(backend());
        open(reg);
        reg.WriteValue("Moedt", link);
        EXPECT_EQ(fs::read_symlink(paths.user), link);
        EXPECT_NE(readFile(target).find("\"Moedt\"=\"" + link + "\""), std::string::npos);
        EXPECT_EQ(readFile(target).find("Andet") != std::string::npos, target != real + "new.reg");
        EXPECT_TRUE(CRegistry(backend()).OpenKey(kHKeyCurrentUser, kPath));
    }
    EXPECT_EQ(namesIn(real), (Names{"new.reg", "new.reg.lock", "store.reg", "store.reg.lock"}));
}

// A writer killed between its temporary file and the rename leaves the file behind; the next
// write takes it away, but nothing that merely resembles one.
TEST_F(HiveFileTest, LeftoverTemporaryFilesGoAtTheNextWrite) {
    CRegistry reg(backend());
    open(reg);
    // The user's copy, names too short or with a character mkstemp never uses, another store's.
    for (const auto& name : {paths.user + ".backup", paths.user + ".AbC12", paths.user + ".AbC12-",
                             paths.machine + ".AbC123"}) {
        writeFile(name, "REGEDIT4\n");
    }
    fs::create_directory(paths.user + ".Q1w2E3");  // not a file: not ours either
    const Names kept = namesIn(folder);
    writeFile(paths.user + ".AbC123", "REGEDIT4\n\n[HKEY_CURRENT");
    writeFile(paths.user + ".x9y8z7", "");
    reg.WriteValue("Moedt", " ");
    EXPECT_EQ(namesIn(folder), kept);
}

// Without HOME (a service, a cron job with a cleared environment) the store is in the home the
// password database gives, never in a folder every user can write to.
TEST(HivePaths, HomeFolderWithoutHome) {
    const passwd* entry = ::getpwuid(::getuid());
    ASSERT_NE(entry, nullptr);
    const std::string own = std::string(entry->pw_dir) + "/.config";
    const auto get = [](const char* name) { return std::getenv(name) ? std::getenv(name) : ""; };
    const std::string saved[] = {get("HOME"), get("XDG_CONFIG_HOME")};
    const struct {
        const char *home, *xdg;
        std::string config;  // the folder of horalog/HKEY_CURRENT_USER.reg
    } cases[] = {
        {nullptr, nullptr, own},
        {"home", "config", own},  // not absolute
        {"/h", nullptr, "/h/.config"},
        {nullptr, "/x", "/x"},
    };
    for (const auto& c : cases) {
        c.home ? ::setenv("HOME", c.home, 1) : ::unsetenv("HOME");
        c.xdg ? ::setenv("XDG_CONFIG_HOME", c.xdg, 1) : ::unsetenv("XDG_CONFIG_HOME");
        EXPECT_EQ(defaultHivePaths().user, c.config + "/horalog/HKEY_CURRENT_USER.reg")
            << (c.home ? c.home : "(unset)");
    }
    ::setenv("HOME", saved[0].c_str(), 1);
    saved[1].empty() ? ::unsetenv("XDG_CONFIG_HOME")
                     : ::setenv("XDG_CONFIG_HOME", saved[1].c_str(), 1);
}

// Changed in place with the same size, within one tick of the file system's clock or after the
// file had settled: a change a cached store could miss.
TEST_F(HiveFileTest, EditInPlaceIsSeenAtOnce) {
    for (const int settle : {0, 300}) {
        writeFile(paths.user, kStore + "\"Arbejdstimer\"=\"7\"\n");
        std::this_thread::sleep_for(std::chrono::milliseconds(settle));
        CRegistry reg(backend());
        ASSERT_TRUE(reg.OpenKey(kHKeyCurrentUser, kPath));
        EXPECT_EQ(reg.ReadValue("Arbejdstimer"), "7");
        std::fstream(paths.user, std::ios::in | std::ios::out | std::ios::binary)
            << kStore + "\"Arbejdstimer\"=\"8\"\n";
        EXPECT_EQ(reg.ReadValue("Arbejdstimer"), "8") << "settled for " << settle << " ms";
    }
}

// A store is parsed when it changed, not at each read: 400 reads and a write of a 2 MB store
// (as an exported registry holds) took minutes. The bound allows for sanitizers.
TEST_F(HiveFileTest, LargeStoreIsParsedOncePerChange) {
    std::string text = kStore + "\"Navn\"=\"x\"\n";
    for (int i = 0; text.size() < (2u << 20); ++i) {
        text += "\n[HKEY_CURRENT_USER\\Software\\Andet\\N" + std::to_string(i) + "]\n\"v\"=\"1\"\n";
    }
    writeFile(paths.user, text);
    const auto start = std::chrono::steady_clock::now();
    CRegistry reg(backend());
    open(reg);
    for (int i = 0; i < 400; ++i) {
        if (i == 200) {
            reg.WriteValue("Moedt", "08:00");
        }
        EXPECT_EQ(reg.ValueExists("Moedt"), i >= 200);
        EXPECT_EQ(reg.ReadValue("Navn"), "x");
    }
    EXPECT_LT(std::chrono::steady_clock::now() - start, std::chrono::seconds(10));
}

// Without the lock two such writers lost 2 writes in 5 to each other. Where the file system has
// no locks, a lock file made with O_EXCL stands in.
TEST_F(HiveFileTest, TwoWritersLoseNothing) {
    EXPECT_EQ(writeAgainstEachOther(1000), "");
    hiveFileHooks().tryLock = noLocks;
    fs::remove(paths.user);
    EXPECT_EQ(writeAgainstEachOther(300), "") << "with lock files";
}

// Each writer holding the lock longer, as on a slow disk: four rounds per kill of `make soak`.
TEST_F(HiveFileTest, SoakSlowSyncLosesNothing) {
    const char* kills = std::getenv("HORALOG_SOAK_KILLS");
    hiveFileHooks().beforeRename = [] {
        std::this_thread::sleep_for(std::chrono::milliseconds(3));
    };
    EXPECT_EQ(writeAgainstEachOther(kills ? std::max(std::atoi(kills) * 4, 2) : 200), "");
}

// A lock that cannot be had fails the write in time, told as held and not as a store that
// cannot be written. Where the file system has no locks, the lock file <store>.lock.excl stands
// in (when it is stale, see lock_file_test.cpp) and goes with the change.
TEST_F(HiveFileTest, LockThatCannotBeHadFailsTheWrite) {
    char host[256] = {};
    ::gethostname(host, sizeof host - 1);
    const struct {
        const char* what;
        int (*tryLock)(int);
        std::string lockFile;  // <store>.lock.excl as another program left it
        bool written;
    } cases[] = {
        {"lock file of a program gone", noLocks, "4194304 " + std::string(host) + "\n", true},
        {"lock file of a live program", noLocks, std::to_string(::getpid()) + " " + host + "\n",
         false},
        {"lock held", nullptr, "4194304 " + std::string(host) + "\n", false},  // not looked at
    };
    writeFile(paths.user, kStore);
    // Held all along, as by another program writing; only the real lock sees it.
    const int held = ::open((paths.user + ".lock").c_str(), O_RDWR | O_CREAT, 0600);
    struct flock whole {};
    whole.l_type = F_WRLCK;
    ASSERT_EQ(::fcntl(held, F_OFD_SETLK, &whole), 0);
    hiveFileHooks().lockWait = std::chrono::milliseconds(200);
    const std::string exclusive = paths.user + ".lock.excl";
    for (const auto& c : cases) {
        SCOPED_TRACE(c.what);
        hiveFileHooks().tryLock = c.tryLock;
        writeFile(exclusive, c.lockFile);
        const auto writer = backend();
        CRegistry reg(writer);
        ASSERT_TRUE(reg.OpenKey(kHKeyCurrentUser, kPath, false, true));  // reading needs no lock
        const auto start = std::chrono::steady_clock::now();
        long result = kSuccess;
        try {
            reg.WriteValue("Moedt", c.what);
        } catch (const RegistryError& e) {
            result = e.result();
        }
        EXPECT_EQ(result, c.written ? kSuccess : kLockViolation);
        EXPECT_LT(std::chrono::steady_clock::now() - start, std::chrono::seconds(2));
        EXPECT_EQ(reg.ReadValue("Moedt") == c.what, c.written);
        EXPECT_EQ(writer->storeProblem().find("lock") != std::string::npos, !c.written);
        // The store, <store>.lock and the lock file unless it was taken over.
        EXPECT_EQ(namesIn(folder).size(), c.written ? 2u : 3u);
        fs::remove(exclusive);
    }
    ::close(held);
}

}  // namespace
}  // namespace horalog
