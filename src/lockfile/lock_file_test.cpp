#include "lockfile/lock_file.h"

#include <gtest/gtest.h>

#include <cerrno>
#include <chrono>
#include <fstream>
#include <iterator>
#include <optional>
#include <random>
#include <thread>

namespace horalog {
namespace {

namespace fs = std::filesystem;
using namespace std::chrono_literals;
using State = LockFile::State;

std::string contentOf(const fs::path& path) {
    return {std::istreambuf_iterator<char>(std::ifstream(path, std::ios::binary).rdbuf()), {}};
}

void write(const fs::path& path, const std::string& text) {
    std::ofstream(path, std::ios::binary | std::ios::trunc) << text;
}

struct LockFileTest : ::testing::Test {
    ~LockFileTest() override { fs::remove_all(folder); }
    fs::path folder =
        fs::temp_directory_path() / ("horalog-lock-" + std::to_string(std::random_device{}()));
    fs::path lock = (fs::create_directories(folder), folder / "Horalog.Dat.lock");
};

// A lock left behind by a copy that is gone is taken over; one whose owner may be at work is
// waited for. The time of change is never read against this machine's clock (a clock 2 minutes
// ahead once took a live lock at once): only a lock watched unmoved for the stale time is stale,
// an empty one (its owner killed before it wrote) too.
TEST_F(LockFileTest, StaleLocksAreTakenOverLiveOnesWaitedFor) {
    // The owner's line as a lock of this process writes it: «pid host number».
    std::string ownLine;
    {
        LockFile probe(folder / "probe");
        ASSERT_EQ(probe.tryTake(60s).state, State::Taken);
        ownLine = contentOf(folder / "probe");
    }
    EXPECT_FALSE(fs::exists(folder / "probe")) << "released";
    const std::string pid = ownLine.substr(0, ownLine.find(' '));
    const std::string host = ownLine.substr(pid.size() + 1, ownLine.rfind(' ') - pid.size() - 1);
    ASSERT_EQ(ownLine.back(), '\n');
#ifdef _WIN32
    const bool endedIsSeen = false;  // only the watch tells there
#else
    const bool endedIsSeen = true;
#endif
    const std::string ended = "4194304 " + host;  // above any process id
    enum Moving { Still, NewContent, NewTime };   // while watched
    const struct {
        const char* what;
        std::optional<std::string> content;  // nothing: no lock file
        int minutesOld;
        std::chrono::milliseconds stale;
        bool taken;
        Moving moving = Still;
    } cases[] = {
        {"no lock", std::nullopt, 0, 60s, true},
        {"owner ended", ended + " 7\n", 0, 60s, endedIsSeen},
        {"owner ended, written before the number", ended + "\n", 0, 60s, endedIsSeen},
        {"live owner", pid + ' ' + host + " 7\n", 0, 60s, false},
        {"another machine", "4194304 elsewhere 7\n", 0, 60s, false},
        {"older by a clock ahead", "4194304 elsewhere 7\n", 2, 60s, false},
        {"newer by a clock behind", "4194304 elsewhere 7\n", -2, 60s, false},
        {"unmoved while watched", "4194304 elsewhere 7\n", 0, 100ms, true},
        {"rewritten while watched", "4194304 elsewhere 7\n", 0, 100ms, false, NewContent},
        {"touched while watched", "4194304 elsewhere 7\n", 0, 100ms, false, NewTime},
        {"empty, young", "", 0, 60s, false},
        {"empty, old", "", 2, 60s, false},
        {"empty, unmoved while watched", "", 1, 100ms, true},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.what);
        if (c.content) {
            write(lock, *c.content);
            fs::last_write_time(lock,
                                fs::last_write_time(lock) - std::chrono::minutes(c.minutesOld));
        }
        {
            LockFile mine(lock);
            State state = State::Held;
            const auto start = std::chrono::steady_clock::now();
            for (int n = 0;
                 state == State::Held && std::chrono::steady_clock::now() - start < 300ms; ++n) {
                if (c.moving != Still) {
                    const auto modified = fs::last_write_time(lock);
                    if (c.moving == NewContent) {
                        write(lock, "4194304 elsewhere " + std::to_string(n) + "\n");
                    }
                    fs::last_write_time(lock, modified + std::chrono::seconds(c.moving == NewTime));
                }
                state = mine.tryTake(c.stale).state;
                std::this_thread::sleep_for(10ms);
            }
            EXPECT_EQ(state, c.taken ? State::Taken : State::Held);
            const std::string now = contentOf(lock);
            if (c.taken) {
                EXPECT_EQ(now.substr(0, pid.size() + host.size() + 2), pid + ' ' + host + ' ');
                EXPECT_NE(now, ownLine) << "a number of its own";
            } else if (c.moving != NewContent) {
                EXPECT_EQ(now, *c.content) << "another's lock left as it was";
            }
        }
        // Ours went with it, another's stayed; nothing put aside is left behind.
        EXPECT_EQ(fs::exists(lock), !c.taken);
        EXPECT_EQ(std::distance(fs::directory_iterator(folder), {}), c.taken ? 0 : 1);
        fs::remove(lock);
    }
}

TEST_F(LockFileTest, LockThatCannotBeMadeOrIsAnothersSinceIsLeft) {
    LockFile nowhere(folder / "missing" / "x.lock");
    const LockFile::Attempt attempt = nowhere.tryTake(60s);
    EXPECT_EQ(attempt.state, State::CannotMake);
    EXPECT_EQ(attempt.error, ENOENT);
    {
        LockFile mine(lock);
        ASSERT_EQ(mine.tryTake(60s).state, State::Taken);
        write(lock, "4194304 elsewhere 7\n");  // taken over by another meanwhile
    }
    EXPECT_EQ(contentOf(lock), "4194304 elsewhere 7\n");
}

}  // namespace
}  // namespace horalog
