#include "registry/store_lock.h"

#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>

#include <algorithm>
#include <cerrno>
#include <chrono>
#include <thread>

#include "lockfile/lock_file.h"
#include "registry/hive_file.h"
#include "registry/hive_io.h"

namespace horalog {

namespace {

using Clock = std::chrono::steady_clock;
using namespace hive_io;

// A lock is asked for again and again, not waited for in the kernel, so that the wait can end.
// Short pauses: another program writing in a loop frees the lock only for moments.
constexpr std::chrono::microseconds kFirstPause{100};
constexpr std::chrono::microseconds kLongestPause{2000};
// No change holds the store for more than a moment: a lock file of another machine, or of no known
// owner, seen unchanged this long was left by one that died.
constexpr std::chrono::seconds kStaleLock{60};

StoreLocked refused(long code, std::string problem) {
    return {false, code, std::move(problem)};
}

StoreLocked heldTooLong(const std::string& file) {
    return refused(kLockViolation, "Another program has held the lock " + file + " for too long.");
}

}  // namespace

HiveFileHooks& hiveFileHooks() {
    static HiveFileHooks hooks;
    return hooks;
}

StoreLock::StoreLock() = default;

StoreLock::~StoreLock() {
    if (fd_ >= 0) {
        ::close(fd_);
    }
}

StoreLocked StoreLock::take(const std::string& lockFile) {
    const auto deadline = Clock::now() + hiveFileHooks().lockWait;
    fd_ = ::open(lockFile.c_str(),
                 O_RDWR | O_CREAT | O_CLOEXEC | O_NOFOLLOW | O_NONBLOCK | O_NOCTTY, 0600);
    if (fd_ < 0) {
        return refused(writeFailure(errno),
                       "Cannot open the lock file " + lockFile + ": " + errorText(errno));
    }
    struct stat st {};
    if (::fstat(fd_, &st) != 0 || !S_ISREG(st.st_mode)) {
        return refused(kWriteFault,
                       "The lock file " + lockFile + " is " + kindOf(st.st_mode) + ".");
    }
    for (auto pause = kFirstPause;; pause = std::min(pause * 2, kLongestPause)) {
        if (tryLock() == 0) {
            return {true, kSuccess, {}};
        }
        const int error = errno;
        if (error == EINTR) {
            continue;
        }
        if (error == ENOLCK || error == EOPNOTSUPP || error == EINVAL || error == ENOSYS) {
            ::close(fd_);
            fd_ = -1;
            return takeExclusive(lockFile + ".excl", deadline);
        }
        if (error != EAGAIN && error != EACCES) {
            return refused(writeFailure(error),
                           "Cannot lock " + lockFile + ": " + errorText(error));
        }
        if (Clock::now() >= deadline) {
            return heldTooLong(lockFile);
        }
        std::this_thread::sleep_for(pause);
    }
}

int StoreLock::tryLock() {
    if (const auto hook = hiveFileHooks().tryLock) {
        return hook(fd_);
    }
    struct flock whole {};
    whole.l_type = F_WRLCK;
    whole.l_whence = SEEK_SET;
    return ::fcntl(fd_, F_OFD_SETLK, &whole);
}

StoreLocked StoreLock::takeExclusive(const std::string& file,
                                     std::chrono::steady_clock::time_point deadline) {
    exclusive_ = std::make_unique<LockFile>(file, 0600);
    for (auto pause = kFirstPause;; pause = std::min(pause * 2, kLongestPause)) {
        const LockFile::Attempt attempt = exclusive_->tryTake(kStaleLock);
        switch (attempt.state) {
            case LockFile::State::Taken:
                return {true, kSuccess, {}};
            case LockFile::State::CannotMake:
                return refused(writeFailure(attempt.error), "Cannot make the lock file " + file +
                                                                ": " + errorText(attempt.error));
            case LockFile::State::CannotWrite:
                return refused(writeFailure(attempt.error), "Cannot write the lock file " + file +
                                                                ": " + errorText(attempt.error));
            case LockFile::State::Held:
                break;
        }
        if (Clock::now() >= deadline) {
            return heldTooLong(file);
        }
        std::this_thread::sleep_for(pause);
    }
}

}  // namespace horalog
