#include "lockfile/lock_file.h"

#include <cerrno>
#include <climits>
#include <map>
#include <mutex>
#include <random>
#include <sstream>

#ifdef _WIN32
#include <fcntl.h>
#include <io.h>
#include <process.h>
#include <sys/stat.h>
#include <windows.h>
#else
#include <fcntl.h>
#include <signal.h>
#include <unistd.h>
#endif

namespace horalog {

namespace {

namespace fs = std::filesystem;
using Clock = std::chrono::steady_clock;

#ifdef _WIN32
int openNew(const fs::path& path, unsigned) {
    return ::_wopen(path.c_str(), _O_WRONLY | _O_CREAT | _O_EXCL | _O_BINARY | _O_NOINHERIT,
                    _S_IREAD | _S_IWRITE);
}
int openToRead(const fs::path& path) {
    return ::_wopen(path.c_str(), _O_RDONLY | _O_BINARY | _O_NOINHERIT);
}
long long readSome(int fd, char* buffer, unsigned size) {
    return ::_read(fd, buffer, size);
}
long long writeSome(int fd, const char* data, unsigned size) {
    return ::_write(fd, data, size);
}
void closeFile(int fd) {
    ::_close(fd);
}
long long processId() {
    return ::_getpid();
}
// Windows is not asked: only the watch tells a lock left behind there.
bool processEnded(long long) {
    return false;
}
std::string hostName() {
    char name[256] = {};
    DWORD size = sizeof name;
    return ::GetComputerNameExA(ComputerNameDnsHostname, name, &size) ? name : "";
}
#else
int openNew(const fs::path& path, unsigned permissions) {
    return ::open(path.c_str(), O_WRONLY | O_CREAT | O_EXCL | O_CLOEXEC, permissions);
}
// Never blocking, never through a link: a FIFO or a symlink at the name must not stop a change.
int openToRead(const fs::path& path) {
    return ::open(path.c_str(), O_RDONLY | O_CLOEXEC | O_NOFOLLOW | O_NONBLOCK | O_NOCTTY);
}
long long readSome(int fd, char* buffer, unsigned size) {
    return ::read(fd, buffer, size);
}
long long writeSome(int fd, const char* data, unsigned size) {
    return ::write(fd, data, size);
}
void closeFile(int fd) {
    ::close(fd);
}
long long processId() {
    return ::getpid();
}
bool processEnded(long long pid) {
    return pid > 0 && pid <= INT_MAX && ::kill(static_cast<pid_t>(pid), 0) != 0 && errno == ESRCH;
}
std::string hostName() {
    char name[256] = {};
    ::gethostname(name, sizeof name - 1);
    return name;
}
#endif

bool writeAll(int fd, const std::string& text) {
    std::size_t done = 0;
    while (done < text.size()) {
        const long long n =
            writeSome(fd, text.data() + done, static_cast<unsigned>(text.size() - done));
        if (n < 0 && errno != EINTR) {
            return false;
        }
        done += n > 0 ? static_cast<std::size_t>(n) : 0;
    }
    return true;
}

// The start of a lock file, enough for any owner's line; empty when it cannot be read.
std::string contentOf(const fs::path& path) {
    const int fd = openToRead(path);
    if (fd < 0) {
        return {};
    }
    std::string text(300, '\0');
    const long long n = readSome(fd, text.data(), static_cast<unsigned>(text.size()));
    closeFile(fd);
    text.resize(n > 0 ? static_cast<std::size_t>(n) : 0);
    return text;
}

fs::file_time_type modifiedOf(const fs::path& path) {
    std::error_code error;
    const auto time = fs::last_write_time(path, error);
    return error ? fs::file_time_type{} : time;
}

// What this process has seen of another's lock file, and since when it has not moved. Kept
// between tries, so a lock left behind is known as such once the stale time has passed, however
// the tries fall.
struct Seen {
    std::string content;
    fs::file_time_type modified;
    Clock::time_point since;
};
std::mutex seenMutex;
std::map<fs::path::string_type, Seen> seenLocks;

bool unchangedFor(const fs::path& path, const std::string& content, fs::file_time_type modified,
                  std::chrono::milliseconds stale) {
    const std::lock_guard guard(seenMutex);
    const Seen now{content, modified, Clock::now()};
    const auto [at, added] = seenLocks.try_emplace(path.native(), now);
    Seen& seen = at->second;
    if (added || seen.content != content || seen.modified != modified) {
        seen = now;
        return stale.count() <= 0;
    }
    return now.since - seen.since >= stale;
}

void forgetSeen(const fs::path& path) {
    const std::lock_guard guard(seenMutex);
    seenLocks.erase(path.native());
}

bool ownerEnded(const std::string& content) {
    std::istringstream fields(content);
    long long pid = 0;
    std::string host;
    return fields >> pid >> host && host == hostName() && processEnded(pid);
}

}  // namespace

LockFile::LockFile(fs::path path, unsigned permissions)
    : path_(std::move(path)), permissions_(permissions) {}

LockFile::~LockFile() {
    if (!owner_.empty() && contentOf(path_) == owner_) {
        std::error_code ignored;
        fs::remove(path_, ignored);
    }
}

LockFile::Attempt LockFile::tryTake(std::chrono::milliseconds stale) {
    // A stale lock put aside may be taken by another at once; a few rounds, then it is held.
    for (int round = 0; round < 3; ++round) {
        const int fd = openNew(path_, permissions_);
        if (fd >= 0) {
            const std::string owner = std::to_string(processId()) + ' ' + hostName() + ' ' +
                                      std::to_string(std::random_device{}()) + '\n';
            const bool written = writeAll(fd, owner);
            const int error = errno;
            closeFile(fd);
            if (!written) {
                std::error_code ignored;
                fs::remove(path_, ignored);
                return {State::CannotWrite, error};
            }
            owner_ = owner;
            return {State::Taken};
        }
        const int error = errno;
        std::error_code ignored;
        // Windows refuses a name whose file is being removed as denied, not as taken.
        if (error != EEXIST && !fs::exists(fs::symlink_status(path_, ignored))) {
            if (error == EINTR) {
                continue;
            }
            return {State::CannotMake, error};
        }
        if (!takeOverIfStale(stale)) {
            return {State::Held};
        }
    }
    return {State::Held};
}

// True when the lock was stale and is gone, or was let go of meanwhile: try again at once.
bool LockFile::takeOverIfStale(std::chrono::milliseconds stale) {
    std::error_code error;
    const fs::file_time_type modified = fs::last_write_time(path_, error);
    if (error && !fs::exists(fs::symlink_status(path_, error))) {
        return true;
    }
    const std::string content = contentOf(path_);
    if (!ownerEnded(content) && !unchangedFor(path_, content, modified, stale)) {
        return false;
    }
    forgetSeen(path_);  // a new lock file at the name is watched anew
    // Renamed aside before it goes, so that of two copies taking over the same lock only one
    // removes it; one that moved a fresh lock instead (its owner let go and another took it
    // between the look and the rename) puts it back.
    fs::path aside = path_;
    aside += ".stale." + std::to_string(processId());
    fs::remove(aside, error);
    fs::rename(path_, aside, error);
    if (error) {
        return true;
    }
    if (contentOf(aside) != content || modifiedOf(aside) != modified) {
        // Never over a lock made since: a link adds the name only where it is free.
        fs::create_hard_link(aside, path_, error);
        if (error && error != std::errc::file_exists) {
            fs::rename(aside, path_, error);
        }
    }
    fs::remove(aside, error);
    return true;
}

}  // namespace horalog
