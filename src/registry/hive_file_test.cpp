#include "registry/hive_file.h"

#include <fcntl.h>
#include <gtest/gtest.h>
#include <pwd.h>
#include <sys/stat.h>

#include <chrono>
#include <filesystem>
#include <fstream>
#include <future>
#include <set>
#include <thread>

#include "registry/registry.h"
#include "registry_error_of.h"
#include "size_limit.h"

namespace horalog {
namespace {

namespace fs = std::filesystem;
using namespace std::chrono_literals;
using testing::errorOf;
using Names = std::set<fs::path>;
using Clock = std::chrono::steady_clock;
const std::string kPath = "Software\\Kvistborg\\Horalog";
const std::string kStore = "REGEDIT4\n\n[HKEY_CURRENT_USER\\Software\\Kvistborg\\Horalog]\n";

std::string readFile(const std::string& path) {
    return {std::istreambuf_iterator<char>(std::ifstream(path, std::ios::binary).rdbuf()), {}};
}

void writeFile(const std::string& path, const std::string& text) {
    std::ofstream(path, std::ios::binary) << text;
}

int noLocks(int) {
    errno = ENOLCK;  // as NFS without its lock daemon
    return -1;
}

long resultOf(const std::function<void()>& call) {
    try {
        call();
    } catch (const RegistryError& e) {
        return e.result();
    }
    return kSuccess;
}

class HiveFileTest : public ::testing::Test {
protected:
    ~HiveFileTest() override {
        hiveFileHooks() = HiveFileHooks{};
        fs::remove_all(folder);
    }
    std::shared_ptr<RegistryBackend> backend() { return std::make_shared<HiveFileBackend>(paths); }
    void open(CRegistry& reg) { ASSERT_TRUE(reg.OpenKey(kHKeyCurrentUser, kPath, true, true)); }
    static Names namesIn(const std::string& in) { return {fs::directory_iterator(in), {}}; }

    // Two programs write a value each, round after round, checking their last is still there.
    std::string writeAgainstEachOther(int rounds) {
        const auto writer = [&](const std::string& name) {
            return errorOf([&] {
                CRegistry reg(backend());
                open(reg);
                for (int i = 0; i < rounds; ++i) {
                    if (i > 0 && reg.ReadValue(name) != std::to_string(i - 1)) {
                        throw RegistryError(name, "undone in round " + std::to_string(i));
                    }
                    reg.WriteValue(name, std::to_string(i));
                }
            });
        };
        auto other = std::async(std::launch::async, writer, "Arbejdstimer");
        return writer("Moedt") + other.get();
    }

    // In memory where there is such a folder: the disk's syncs made the writers take up to 45 s.
    std::string folder = ::mkdtemp(
        (std::string(fs::is_directory("/dev/shm") ? "/dev/shm" : "/tmp") + "/horalog-XXXXXX")
            .data());
    HivePaths paths{folder + "/HKEY_CURRENT_USER.reg", folder + "/HKEY_LOCAL_MACHINE.reg"};
};

// The user's alone whatever the umask; a write stopped part-way keeps the old file, temps go.
TEST_F(HiveFileTest, WritesRegedit4TextWholeOrNotAtAll) {
    const std::string in = folder + "/config/horalog";
    paths.user = folder + "/config/horalog/HKEY_CURRENT_USER.reg";
    const mode_t umaskBefore = ::umask(0);
    CRegistry reg(backend());
    open(reg);
    reg.WriteValue("Moedt", " ");
    reg.WriteValue("Filnavn", "C:\\Horalog.Dat");
    reg.WriteValue("", "say \"x\"");
    EXPECT_NE(errorOf([&] { reg.WriteValue("Moedt", "1\n2"); }), "");  // no line breaks in REGEDIT4
    EXPECT_TRUE(testing::failsWithSizeLimit(4096, [&] {
        return resultOf([&] { reg.WriteValue("Filnavn", std::string(8192, 'x')); }) == kDiskFull;
    }));
    ::umask(umaskBefore);
    EXPECT_EQ(
        readFile(paths.user),
        "REGEDIT4\n\n[HKEY_CURRENT_USER\\Software]\n\n[HKEY_CURRENT_USER\\Software\\Kvistborg]\n\n"
        "[HKEY_CURRENT_USER\\Software\\Kvistborg\\Horalog]\n\"Moedt\"=\" \"\n"
        "\"Filnavn\"=\"C:\\\\Horalog.Dat\"\n@=\"say \\\"x\\\"\"\n\n");
    EXPECT_EQ(std::tuple(fs::status(in).permissions(), fs::status(paths.user).permissions(),
                         fs::status(paths.user + ".lock").permissions()),
              std::tuple(fs::perms::owner_all, fs::perms(0600), fs::perms(0600)));
    EXPECT_EQ(namesIn(in), (Names{paths.user, paths.user + ".lock"}));
    // The user's copy, names too short or with a character mkstemp never uses, another store's.
    for (const auto& name : {paths.user + ".backup", paths.user + ".AbC12", paths.user + ".AbC12-",
                             in + "/HKEY_LOCAL_MACHINE.reg.AbC123"}) {
        writeFile(name, "REGEDIT4\n");
    }
    fs::create_directory(paths.user + ".Q1w2E3");  // not a file: not ours either
    const Names kept = namesIn(in);
    writeFile(paths.user + ".AbC123", "REGEDIT4\n\n[HKEY_CURRENT");
    writeFile(paths.user + ".x9y8z7", "");
    reg.WriteValue("Moedt", " ");
    EXPECT_EQ(namesIn(in), kept);
}

// A damaged user's store raises and stays untouched, not overwritten; the machine's is no key.
TEST_F(HiveFileTest, DamagedStores) {
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
    CRegistry reg(backend());
    EXPECT_FALSE(reg.OpenKey(kHKeyLocalMachine, kPath, true, true) || fs::exists(paths.machine));
    writeFile(paths.machine, "REGEDIT4\n[HKEY_LOCAL_MACHINE\\Software\n");
    EXPECT_FALSE(reg.OpenKey(kHKeyLocalMachine, kPath));
    writeFile(paths.machine, "REGEDIT4\n\n[HKEY_LOCAL_MACHINE\\Software]\n\n");
    EXPECT_TRUE(reg.OpenKey(kHKeyLocalMachine, "Software"));
}

// A FIFO would stop the program for good; a link (a synced folder) stays one, its target written.
TEST_F(HiveFileTest, OnlyARegularFileOrALinkToOneIsAStore) {
    const std::pair<const char*, std::function<void(const std::string&)>> odd[] = {
        {"named pipe", [](const std::string& p) { ASSERT_EQ(::mkfifo(p.c_str(), 0600), 0); }},
        {"folder", [](const std::string& p) { fs::create_directory(p); }},
        {"device", [](const std::string& p) { fs::create_symlink("/dev/null", p); }},
        {"symbolic links", [](const std::string& p) { fs::create_symlink(p, p); }},  // a loop
    };
    for (const auto& [what, make] : odd) {
        SCOPED_TRACE(what);
        auto writer = backend();
        CRegistry opened(writer);  // opened while the store was still a file
        open(opened);
        fs::remove(paths.user);
        make(paths.user);
        const auto start = Clock::now();
        const auto error = errorOf([&] { CRegistry(backend()).OpenKey(kHKeyCurrentUser, kPath); });
        EXPECT_NE(error.find(what), std::string::npos);
        EXPECT_NE(errorOf([&] { opened.WriteValue("Moedt", " "); }), "");
        EXPECT_NE(writer->storeProblem().find(what), std::string::npos);
        EXPECT_LT(Clock::now() - start, 2s);
        EXPECT_FALSE(fs::is_regular_file(fs::symlink_status(paths.user)));  // left as it was
        fs::remove_all(paths.user);
    }
    const std::string real = folder + "/real/";
    const std::pair<std::string, std::string> links[] = {
        {real + "store.reg", real + "store.reg"},  // the link at paths.user, its file
        {"hop.reg", real + "store.reg"},           // a relative link to a relative link
        {"real/new.reg", real + "new.reg"},        // to no file yet
    };
    fs::create_directory(real);
    writeFile(real + "store.reg", "REGEDIT4\n\n[HKEY_CURRENT_USER\\Software]\n\"Andet\"=\"1\"\n");
    fs::create_symlink("real/store.reg", folder + "/hop.reg");
    for (const auto& [link, target] : links) {
        SCOPED_TRACE(link);
        fs::create_symlink(link, paths.user);
        CRegistry reg(backend());
        open(reg);
        reg.WriteValue("Moedt", link);
        EXPECT_EQ(fs::read_symlink(paths.user), link);
        EXPECT_NE(readFile(target).find("\"Moedt\"=\"" + link + "\""), std::string::npos);
        EXPECT_EQ(readFile(target).find("Andet") != std::string::npos, target != real + "new.reg");
        EXPECT_TRUE(CRegistry(backend()).OpenKey(kHKeyCurrentUser, kPath));
        fs::remove(paths.user);
    }
    EXPECT_EQ(namesIn(real), (Names{real + "new.reg", real + "new.reg.lock", real + "store.reg",
                                    real + "store.reg.lock"}));
}

// Without HOME (a service, a cron job) the store is in the user's home, not where all can write.
TEST(HivePaths, HomeFolderWithoutHome) {
    const passwd* entry = ::getpwuid(::getuid());
    ASSERT_NE(entry, nullptr);
    const std::string own = std::string(entry->pw_dir) + "/.config";
    const auto get = [](const char* name) { return std::getenv(name) ? std::getenv(name) : ""; };
    const std::string old[] = {get("HOME"), get("XDG_CONFIG_HOME")};
    const std::tuple<const char*, const char*, std::string> cases[] = {
        {nullptr, nullptr, own},
        {"home", "config", own},  // not absolute
        {"/h", nullptr, "/h/.config"},
        {nullptr, "/x", "/x"},
    };
    for (const auto& [home, xdg, config] : cases) {
        home ? ::setenv("HOME", home, 1) : ::unsetenv("HOME");
        xdg ? ::setenv("XDG_CONFIG_HOME", xdg, 1) : ::unsetenv("XDG_CONFIG_HOME");
        EXPECT_EQ(defaultHivePaths().user, config + "/horalog/HKEY_CURRENT_USER.reg")
            << (home ? home : "(unset)");
    }
    ::setenv("HOME", old[0].c_str(), 1);
    old[1].empty() ? ::unsetenv("XDG_CONFIG_HOME") : ::setenv("XDG_CONFIG_HOME", old[1].c_str(), 1);
}

// A same-size edit in place is seen at once; a 2 MB store is parsed per change, not per read.
TEST_F(HiveFileTest, EveryChangeSeenLargeStoreParsedOnce) {
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
    std::string text = kStore + "\"Navn\"=\"x\"\n";
    for (int i = 0; text.size() < (2u << 20); ++i) {
        text += "\n[HKEY_CURRENT_USER\\Software\\Andet\\N" + std::to_string(i) + "]\n\"v\"=\"1\"\n";
    }
    writeFile(paths.user, text);
    const auto start = Clock::now();
    CRegistry reg(backend());
    open(reg);
    for (int i = 0; i < 400; ++i) {
        if (i == 200) {
            reg.WriteValue("Moedt", "08:00");
        }
        EXPECT_EQ(reg.ValueExists("Moedt"), i >= 200);
        EXPECT_EQ(reg.ReadValue("Navn"), "x");
    }
    EXPECT_LT(Clock::now() - start, 10s);
}

// Two writers lose nothing, with the lock and with a lock file where there are no locks.
TEST_F(HiveFileTest, TwoWritersLoseNothing) {
    EXPECT_EQ(writeAgainstEachOther(1000), "");
    hiveFileHooks().tryLock = noLocks;
    fs::remove(paths.user);
    EXPECT_EQ(writeAgainstEachOther(300), "") << "with lock files";
}

// Each writer holding the lock longer, as on a slow disk: four rounds per kill of `make soak`.
TEST_F(HiveFileTest, SoakSlowSyncLosesNothing) {
    const char* kills = std::getenv("HORALOG_SOAK_KILLS");
    hiveFileHooks().beforeRename = [] { std::this_thread::sleep_for(3ms); };
    EXPECT_EQ(writeAgainstEachOther(kills ? std::max(std::atoi(kills) * 4, 2) : 200), "");
}

// A lock that cannot be had fails the write in time, told as held; <store>.lock.excl stands in.
TEST_F(HiveFileTest, LockThatCannotBeHadFailsTheWrite) {
    char host[256] = {};
    ::gethostname(host, sizeof host - 1);
    const std::string gone = "4194304 " + std::string(host) + "\n",
                      live = std::to_string(::getpid()) + " " + host + "\n";
    const std::tuple<std::string, int (*)(int), std::string, bool> cases[] = {
        {"lock file of a program gone", noLocks, gone, true},
        {"lock file of a live program", noLocks, live, false},
        {"lock held", nullptr, gone, false},  // the lock file not looked at
    };
    writeFile(paths.user, kStore);
    // Held all along, as by another program writing; only the real lock sees it.
    const int held = ::open((paths.user + ".lock").c_str(), O_RDWR | O_CREAT, 0600);
    struct flock whole {};
    whole.l_type = F_WRLCK;
    ASSERT_EQ(::fcntl(held, F_OFD_SETLK, &whole), 0);
    hiveFileHooks().lockWait = 200ms;
    for (const auto& [what, tryLock, lockFile, written] : cases) {
        SCOPED_TRACE(what);
        hiveFileHooks().tryLock = tryLock;
        writeFile(paths.user + ".lock.excl", lockFile);
        const auto writer = backend();
        CRegistry reg(writer);
        ASSERT_TRUE(reg.OpenKey(kHKeyCurrentUser, kPath, false, true));  // reading needs no lock
        const auto start = Clock::now();
        EXPECT_EQ(resultOf([&, what = what] { reg.WriteValue("Moedt", what); }),
                  written ? kSuccess : kLockViolation);
        EXPECT_LT(Clock::now() - start, 2s);
        EXPECT_EQ(reg.ReadValue("Moedt") == what, written);
        EXPECT_EQ(writer->storeProblem().find("lock") != std::string::npos, !written);
        EXPECT_EQ(namesIn(folder).size(), written ? 2u : 3u);  // the store, .lock, .lock.excl kept
        fs::remove(paths.user + ".lock.excl");
    }
    ::close(held);
}

}  // namespace
}  // namespace horalog
