// Programs sharing one store file (two windows, --status from a panel, two machines over one
// home) change it under its lock and never undo each other's values.
#include <fcntl.h>
#include <gtest/gtest.h>
#include <sys/wait.h>
#include <unistd.h>

#include <algorithm>
#include <cerrno>
#include <chrono>
#include <cstdio>
#include <cstdlib>
#include <filesystem>
#include <fstream>
#include <thread>

#include "registry/hive_file.h"
#include "registry/registry.h"

namespace horalog {
namespace {

namespace fs = std::filesystem;
const std::string kPath = "Software\\Kvistborg\\Horalog";

int noLocks(int) {
    errno = ENOLCK;  // as NFS without its lock daemon
    return -1;
}

void slowSync() {
    std::this_thread::sleep_for(std::chrono::milliseconds(3));
}

class HiveLockTest : public ::testing::Test {
protected:
    ~HiveLockTest() override {
        hiveFileHooks() = HiveFileHooks{};
        fs::remove_all(folder);
    }

    // Two programs each write a value of their own and one the window writes, round after
    // round, checking before each write that their last one is still there. What went wrong,
    // or nothing.
    std::string writeAgainstEachOther(int rounds) {
        const char* const names[2][2] = {{"Moedt", "EgenA"}, {"Arbejdstimer", "EgenB"}};
        pid_t writers[2] = {};
        for (int w = 0; w < 2; ++w) {
            writers[w] = ::fork();
            if (writers[w] == 0) {
                int undone = 0;
                try {
                    CRegistry reg(std::make_shared<HiveFileBackend>(paths));
                    reg.OpenKey(kHKeyCurrentUser, kPath, true, true);
                    for (int i = 0; i < rounds; ++i) {
                        for (const char* name : names[w]) {
                            undone += i > 0 && (!reg.ValueExists(name) ||
                                                reg.ReadValue(name) != std::to_string(i - 1));
                            reg.WriteValue(name, std::to_string(i));
                        }
                    }
                } catch (const RegistryError& e) {
                    std::fprintf(stderr, "%s %s\n", e.what(), e.description().c_str());
                    ::_exit(101);
                }
                ::_exit(std::min(undone, 100));
            }
        }
        std::string report;
        for (const pid_t writer : writers) {
            int status = 0;
            ::waitpid(writer, &status, 0);
            if (!WIFEXITED(status) || WEXITSTATUS(status) != 0) {
                report += "a writer ended with " + std::to_string(status >> 8) + " (" +
                          std::to_string(status & 0x7f) + "); ";
            }
        }
        CRegistry reg(std::make_shared<HiveFileBackend>(paths));
        reg.OpenKey(kHKeyCurrentUser, kPath);
        for (const auto& pair : names) {
            for (const char* name : pair) {
                if (const std::string last = reg.ValueExists(name) ? reg.ReadValue(name) : "none";
                    last != std::to_string(rounds - 1)) {
                    report += std::string(name) + " holds " + last + "; ";
                }
            }
        }
        return report;
    }

    // In memory where there is such a folder: the test is of the lock, not of the disk, whose
    // syncs (two per write) made it take from 4 to 45 s on a busy machine.
    std::string folder =
        ::mkdtemp(std::string(fs::is_directory("/dev/shm") ? "/dev/shm/horalog-lock-XXXXXX"
                                                           : "/tmp/horalog-lock-XXXXXX")
                      .data());
    HivePaths paths{folder + "/HKEY_CURRENT_USER.reg", folder + "/HKEY_LOCAL_MACHINE.reg"};
};

// Without the lock two such writers lost 2 writes in 5 to each other.
TEST_F(HiveLockTest, TwoWritersLoseNothing) {
    const struct {
        const char* what;
        int (*tryLock)(int);
        int rounds;
    } cases[] = {
        {"locks on the lock file", nullptr, 1000},
        {"lock files made with O_EXCL", noLocks, 300},
    };
    for (const auto& c : cases) {
        hiveFileHooks().tryLock = c.tryLock;
        fs::remove(paths.user);
        EXPECT_EQ(writeAgainstEachOther(c.rounds), "") << c.what;
    }
}

// A lock that cannot be had fails the write in time and says why; where the file system has no
// locks a lock file made with O_EXCL stands in, and one left by a program that is gone (or older
// than a minute) is taken over.
TEST_F(HiveLockTest, LockThatCannotBeHadFailsTheWrite) {
    char host[256] = {};
    ::gethostname(host, sizeof host - 1);
    const pid_t gone = ::fork();
    if (gone == 0) {
        ::_exit(0);
    }
    ::waitpid(gone, nullptr, 0);
    const std::string live = std::to_string(::getpid()) + " " + host + "\n";
    const struct {
        const char* what;
        bool noLocks;
        std::string lockFile;  // <store>.lock.excl as another program left it; empty: none
        bool old;
        bool written;
    } cases[] = {
        {"no locks, none held", true, "", false, true},
        {"lock file of a program that is gone", true, std::to_string(gone) + " " + host + "\n",
         false, true},
        {"lock file older than a minute", true, live, true, true},
        {"lock file of a live program", true, live, false, false},
        {"lock file from another machine", true, std::to_string(gone) + " elsewhere\n", false,
         false},
        {"lock held on the lock file", false, "", false, false},
    };
    CRegistry(std::make_shared<HiveFileBackend>(paths))
        .OpenKey(kHKeyCurrentUser, kPath, true, true);
    hiveFileHooks().lockWait = std::chrono::milliseconds(200);
    const std::string exclusive = paths.user + ".lock.excl";
    for (const auto& c : cases) {
        SCOPED_TRACE(c.what);
        hiveFileHooks().tryLock = c.noLocks ? noLocks : nullptr;
        if (!c.lockFile.empty()) {
            std::ofstream(exclusive) << c.lockFile;
            if (c.old) {
                fs::last_write_time(exclusive,
                                    fs::last_write_time(exclusive) - std::chrono::minutes(2));
            }
        }
        const int held = c.noLocks ? -1 : ::open((paths.user + ".lock").c_str(), O_RDWR);
        struct flock whole {};
        whole.l_type = F_WRLCK;
        ASSERT_TRUE(held < 0 || ::fcntl(held, F_OFD_SETLK, &whole) == 0);

        const auto backend = std::make_shared<HiveFileBackend>(paths);
        CRegistry reg(backend);
        ASSERT_TRUE(reg.OpenKey(kHKeyCurrentUser, kPath, false, true));  // reading needs no lock
        const auto start = std::chrono::steady_clock::now();
        bool written = true;
        try {
            reg.WriteValue("Moedt", c.what);
        } catch (const RegistryError&) {
            written = false;
        }
        EXPECT_LT(std::chrono::steady_clock::now() - start, std::chrono::seconds(2));
        EXPECT_EQ(written, c.written);
        EXPECT_EQ(reg.ReadValue("Moedt") == c.what, c.written);
        if (!c.written) {
            EXPECT_NE(backend->storeProblem().find("lock"), std::string::npos);
        }
        // Only the other program's live lock file stays; a taken-over one leaves no trace.
        EXPECT_EQ(fs::exists(exclusive), !c.written && !c.lockFile.empty());
        EXPECT_EQ(std::distance(fs::directory_iterator(folder), {}), 2 + fs::exists(exclusive));
        if (held >= 0) {
            ::close(held);
        }
        fs::remove(exclusive);
    }
}

// The two writers again, each holding the lock a few milliseconds longer between the sync and
// the rename, as on a slow disk or a network share. Rounds: HORALOG_SOAK_ROUNDS, or four per
// kill of `make soak`, else 200.
TEST_F(HiveLockTest, SoakSlowSyncLosesNothing) {
    int rounds = 200;
    if (const char* r = std::getenv("HORALOG_SOAK_ROUNDS")) {
        rounds = std::max(std::atoi(r), 2);
    } else if (const char* kills = std::getenv("HORALOG_SOAK_KILLS")) {
        rounds = std::max(std::atoi(kills) * 4, 2);
    }
    hiveFileHooks().beforeRename = slowSync;
    EXPECT_EQ(writeAgainstEachOther(rounds), "");
}

}  // namespace
}  // namespace horalog
