#include "lockfile/lock_file.h"

#include <gtest/gtest.h>

#include <cerrno>
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
using Clock = std::chrono::steady_clock;

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

// A gone owner's lock is taken over, a live one's waited for; stale only when watched unmoved.
TEST_F(LockFileTest, StaleLocksAreTakenOverLiveOnesWaitedFor) {
    const std::string other = "4194304 elsewhere 7\n";  // no such pid
    std::string ownLine;                                // as this process writes it: «pid host n»
    {
        LockFile mine(lock);
        ASSERT_EQ(mine.tryTake(60s).state, State::Taken);
        ownLine = contentOf(lock);
        write(lock, other);  // taken over by another meanwhile
    }
    EXPECT_EQ(contentOf(lock), other) << "another's since, left";
    fs::remove(lock);
    const LockFile::Attempt nowhere = LockFile(folder / "missing" / "x.lock").tryTake(60s);
    EXPECT_EQ(std::pair(nowhere.state, nowhere.error), std::pair(State::CannotMake, ENOENT));
    const std::string pid = ownLine.substr(0, ownLine.find(' '));
    const std::string host = ownLine.substr(pid.size() + 1, ownLine.rfind(' ') - pid.size() - 1);
    ASSERT_EQ(ownLine.back(), '\n');
#ifdef _WIN32
    const bool endedIsSeen = false;  // only the watch tells there
#else
    const bool endedIsSeen = true;
#endif
    const std::string ended = "4194304 " + host;
    enum Moving { Still, NewContent, NewTime };  // while watched
    // What, the lock file (none: no file), its age in minutes, the stale time, taken, moving.
    const std::tuple<const char*, std::optional<std::string>, int, std::chrono::milliseconds, bool,
                     Moving>
        cases[] = {
            {"no lock", std::nullopt, 0, 60s, true, Still},
            {"owner ended", ended + " 7\n", 0, 60s, endedIsSeen, Still},
            {"owner ended, written before the number", ended + "\n", 0, 60s, endedIsSeen, Still},
            {"live owner", pid + ' ' + host + " 7\n", 0, 60s, false, Still},
            {"another machine", other, 0, 60s, false, Still},
            {"older by a clock ahead", other, 2, 60s, false, Still},
            {"newer by a clock behind", other, -2, 60s, false, Still},
            {"unmoved while watched", other, 0, 100ms, true, Still},
            {"rewritten while watched", other, 0, 100ms, false, NewContent},
            {"touched while watched", other, 0, 100ms, false, NewTime},
            {"empty, young", "", 0, 60s, false, Still},
            {"empty, old", "", 2, 60s, false, Still},
            {"empty, unmoved while watched", "", 1, 100ms, true, Still},
        };
    for (const auto& [what, content, minutesOld, stale, taken, moving] : cases) {
        SCOPED_TRACE(what);
        if (content) {
            write(lock, *content);
            fs::last_write_time(lock, fs::last_write_time(lock) - std::chrono::minutes(minutesOld));
        }
        {
            LockFile mine(lock);
            State state = State::Held;
            const auto start = Clock::now();
            for (int n = 0; state == State::Held && Clock::now() - start < 300ms; ++n) {
                state = mine.tryTake(stale).state;
                const auto modified = fs::last_write_time(lock);  // a still lock's set as it was
                if (moving == NewContent) {
                    write(lock, "4194304 elsewhere " + std::to_string(n) + "\n");
                }
                fs::last_write_time(lock, modified + std::chrono::seconds(moving == NewTime));
                std::this_thread::sleep_for(10ms);
            }
            EXPECT_EQ(state, taken ? State::Taken : State::Held);
            const std::string now = contentOf(lock);
            if (taken) {
                EXPECT_EQ(now.substr(0, pid.size() + host.size() + 2), pid + ' ' + host + ' ');
                EXPECT_NE(now, ownLine) << "a number of its own";
            } else if (moving != NewContent) {
                EXPECT_EQ(now, *content) << "another's lock left as it was";
            }
        }
        // Nothing put aside is left behind.
        EXPECT_EQ(fs::exists(lock), !taken) << "ours released, another's stayed";
        EXPECT_EQ(std::distance(fs::directory_iterator(folder), {}), taken ? 0 : 1);
        fs::remove(lock);
    }
}

}  // namespace
}  // namespace horalog
