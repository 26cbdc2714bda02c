#pragma once

#include <chrono>
#include <filesystem>
#include <string>

namespace horalog {

// A lock held by a file made exclusively beside what it guards, where the file system has no
// byte-range locks (a network share without a lock service). The file names its owner: process,
// machine and a number of its own («4711 desk 2912739»). Another copy takes it over only when its
// owner has ended on this machine, or when this copy has watched its content and time of change
// stay unmoved for the stale time by its own monotonic clock (an empty or unreadable one alike,
// as its owner may have died before writing): two machines' clocks are never compared.
class LockFile {
public:
    enum class State { Taken, Held, CannotMake, CannotWrite };
    struct Attempt {
        State state = State::Held;
        int error = 0;  // the system's error number, when it could not be made or written
    };

    // permissions: the new file's mode where the system has such (POSIX).
    explicit LockFile(std::filesystem::path path, unsigned permissions = 0600);
    LockFile(const LockFile&) = delete;
    LockFile& operator=(const LockFile&) = delete;
    // Removes the lock file while it is still this one's own (after a take-over the name may be
    // another's).
    ~LockFile();

    // One try: made, held by another whose lock is not stale, or not possible. A stale lock is
    // put aside and a new one made in the same try.
    Attempt tryTake(std::chrono::milliseconds stale);

    const std::filesystem::path& path() const { return path_; }

private:
    bool takeOverIfStale(std::chrono::milliseconds stale);

    std::filesystem::path path_;
    unsigned permissions_;
    std::string owner_;  // what the lock file holds while it is this one's
};

}  // namespace horalog
