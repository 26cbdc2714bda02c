#pragma once

#include <chrono>
#include <memory>
#include <string>

#include "registry/registry_backend.h"

namespace horalog {

class LockFile;

// Whether a change has the store's lock, and when not, the code it reports and why, for the user.
struct StoreLocked {
    bool held = false;
    long code = kSuccess;
    std::string problem;
};

// The lock every change of one store file takes, from its read to its rename: an open file
// description lock on <store>.lock, a file that is never replaced. Where the file system has no
// such locks, the lock file <store>.lock.excl serves. A lock that cannot be had in time is an
// error, never a wait without end. Let go of when the object goes.
class StoreLock {
public:
    StoreLock();
    StoreLock(const StoreLock&) = delete;
    StoreLock& operator=(const StoreLock&) = delete;
    ~StoreLock();

    StoreLocked take(const std::string& lockFile);

private:
    int tryLock();
    StoreLocked takeExclusive(const std::string& file,
                              std::chrono::steady_clock::time_point deadline);

    int fd_ = -1;
    std::unique_ptr<LockFile> exclusive_;
};

}  // namespace horalog
