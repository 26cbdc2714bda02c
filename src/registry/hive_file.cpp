#include "registry/hive_file.h"

#include <dirent.h>
#include <fcntl.h>
#include <pwd.h>
#include <signal.h>
#include <sys/stat.h>
#include <unistd.h>

#include <algorithm>
#include <cerrno>
#include <climits>
#include <cstdlib>
#include <cstring>
#include <ctime>
#include <map>
#include <mutex>
#include <thread>
#include <vector>

namespace horalog {

namespace {

using Clock = std::chrono::steady_clock;

const char* rootName(std::uint32_t root) {
    return root == kHKeyLocalMachine ? "HKEY_LOCAL_MACHINE" : "HKEY_CURRENT_USER";
}

std::string folderOf(const std::string& file) {
    const auto cut = file.rfind('/');
    return cut == std::string::npos ? std::string(".") : file.substr(0, cut == 0 ? 1 : cut);
}

std::string errorText(int error) {
    return std::strerror(error);
}

// The code a failed change reports for the system's error: the window tells a full disk and a
// store it may not write apart from the rest.
long writeFailure(int error) {
    switch (error) {
        case ENOSPC:
        case EDQUOT:
        case EFBIG:
            return kDiskFull;
        case EROFS:
        case EACCES:
        case EPERM:
            return kAccessDenied;
        default:
            return kWriteFault;
    }
}

bool makeFolders(const std::string& folder) {
    struct stat st {};
    if (::stat(folder.c_str(), &st) == 0) {
        return S_ISDIR(st.st_mode);
    }
    if (folder != "/" && folder != "." && !makeFolders(folderOf(folder))) {
        return false;
    }
    return ::mkdir(folder.c_str(), 0700) == 0 || errno == EEXIST;
}

bool writeAll(int fd, const std::string& text) {
    std::size_t done = 0;
    while (done < text.size()) {
        const ssize_t n = ::write(fd, text.data() + done, text.size() - done);
        if (n < 0) {
            if (errno == EINTR) {
                continue;
            }
            return false;
        }
        done += static_cast<std::size_t>(n);
    }
    return true;
}

void syncFolder(const std::string& folder) {
    const int fd = ::open(folder.c_str(), O_RDONLY | O_DIRECTORY | O_CLOEXEC);
    if (fd >= 0) {
        ::fsync(fd);
        ::close(fd);
    }
}

// What stands at a store's path when it is not a file.
const char* kindOf(mode_t mode) {
    if (S_ISDIR(mode)) {
        return "a folder";
    }
    if (S_ISFIFO(mode)) {
        return "a named pipe (FIFO)";
    }
    if (S_ISCHR(mode) || S_ISBLK(mode)) {
        return "a device";
    }
    if (S_ISSOCK(mode)) {
        return "a socket";
    }
    return "not a regular file";
}

// The file a symlink at the store's path names, followed link by link: the new file must
// replace the link's target, not the link, or the settings it shares would part ways.
bool followLinks(const std::string& path, std::string& target, int& error) {
    target = path;
    for (int hops = 0; hops < 40; ++hops) {
        struct stat st {};
        if (::lstat(target.c_str(), &st) != 0 || !S_ISLNK(st.st_mode)) {
            return true;  // a file, or nothing yet: the store is made there
        }
        std::string link(PATH_MAX, '\0');
        const ssize_t n = ::readlink(target.c_str(), link.data(), link.size());
        if (n <= 0 || static_cast<std::size_t>(n) >= link.size()) {
            error = n < 0 ? errno : n == 0 ? ENOENT : ENAMETOOLONG;
            return false;
        }
        link.resize(static_cast<std::size_t>(n));
        target = link.front() == '/' ? link : folderOf(target) + "/" + link;
    }
    error = ELOOP;
    return false;
}

std::string hostName() {
    char name[256] = {};
    ::gethostname(name, sizeof name - 1);
    return name;
}

// A writer killed between mkstemp and rename leaves <store>.XXXXXX behind. Only names mkstemp
// could have made are taken, and never one of lowercase letters alone, which is more likely a
// copy the user made (<store>.backup).
void removeLeftoverTemps(const std::string& target) {
    const auto cut = target.rfind('/');
    const std::string name = cut == std::string::npos ? target : target.substr(cut + 1);
    DIR* folder = ::opendir(folderOf(target).c_str());
    if (folder == nullptr) {
        return;
    }
    while (const dirent* entry = ::readdir(folder)) {
        const std::string_view n = entry->d_name;
        if (n.size() != name.size() + 7 || n.substr(0, name.size()) != name ||
            n[name.size()] != '.') {
            continue;
        }
        const std::string_view tail = n.substr(name.size() + 1);
        bool madeByMkstemp = true;
        bool lowercaseOnly = true;
        for (char c : tail) {
            const bool lowerLetter = c >= 'a' && c <= 'z';
            madeByMkstemp =
                madeByMkstemp && (lowerLetter || (c >= 'A' && c <= 'Z') || (c >= '0' && c <= '9'));
            lowercaseOnly = lowercaseOnly && lowerLetter;
        }
        struct stat st {};
        if (madeByMkstemp && !lowercaseOnly &&
            ::fstatat(::dirfd(folder), entry->d_name, &st, AT_SYMLINK_NOFOLLOW) == 0 &&
            S_ISREG(st.st_mode)) {
            ::unlinkat(::dirfd(folder), entry->d_name, 0);
        }
    }
    ::closedir(folder);
}

// The lock every change of one store file takes, from its read to its rename: an open file
// description lock on <store>.lock, a file that is never replaced. Where the file system has no
// such locks, a file <store>.lock.excl made with O_EXCL serves, and one left by a program that
// is gone (or seen unchanged for a minute) is taken over. A lock that cannot be had in time is an
// error, never a wait without end.
class StoreLock {
    // A lock is asked for again and again, not waited for in the kernel, so that the wait can
    // end. Short pauses: another program writing in a loop frees the lock only for moments.
    static constexpr std::chrono::microseconds kFirstPause{100};
    static constexpr std::chrono::microseconds kLongestPause{2000};

public:
    StoreLock() = default;
    StoreLock(const StoreLock&) = delete;
    StoreLock& operator=(const StoreLock&) = delete;
    ~StoreLock() {
        if (fd_ >= 0) {
            ::close(fd_);
        }
        struct stat st {};
        if (!exclusive_.empty() && ::lstat(exclusive_.c_str(), &st) == 0 &&
            st.st_ino == exclusiveInode_ && st.st_dev == exclusiveDevice_) {
            ::unlink(exclusive_.c_str());
        }
    }

    // Empty when the lock is held, else why not (and failure() the code to report).
    long failure() const { return failure_; }
    std::string take(const std::string& lockFile) {
        const auto deadline = Clock::now() + hiveFileHooks().lockWait;
        fd_ = ::open(lockFile.c_str(),
                     O_RDWR | O_CREAT | O_CLOEXEC | O_NOFOLLOW | O_NONBLOCK | O_NOCTTY, 0600);
        if (fd_ < 0) {
            failure_ = writeFailure(errno);
            return "Cannot open the lock file " + lockFile + ": " + errorText(errno);
        }
        struct stat st {};
        if (::fstat(fd_, &st) != 0 || !S_ISREG(st.st_mode)) {
            return "The lock file " + lockFile + " is " + kindOf(st.st_mode) + ".";
        }
        for (auto pause = kFirstPause;; pause = std::min(pause * 2, kLongestPause)) {
            if (tryLock() == 0) {
                return {};
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
                failure_ = writeFailure(error);
                return "Cannot lock " + lockFile + ": " + errorText(error);
            }
            if (Clock::now() >= deadline) {
                failure_ = kLockViolation;
                return "Another program has held the lock " + lockFile + " for too long.";
            }
            std::this_thread::sleep_for(pause);
        }
    }

private:
    int tryLock() {
        if (const auto hook = hiveFileHooks().tryLock) {
            return hook(fd_);
        }
        struct flock whole {};
        whole.l_type = F_WRLCK;
        whole.l_whence = SEEK_SET;
        return ::fcntl(fd_, F_OFD_SETLK, &whole);
    }

    std::string takeExclusive(const std::string& file, Clock::time_point deadline) {
        const std::string host = hostName();
        for (auto pause = kFirstPause;; pause = std::min(pause * 2, kLongestPause)) {
            const int fd = ::open(file.c_str(), O_WRONLY | O_CREAT | O_EXCL | O_CLOEXEC, 0600);
            if (fd >= 0) {
                const std::string owner = std::to_string(::getpid()) + " " + host + "\n";
                struct stat st {};
                const bool ok = writeAll(fd, owner) && ::fstat(fd, &st) == 0;
                ::close(fd);
                if (!ok) {
                    const int error = errno;
                    ::unlink(file.c_str());
                    failure_ = writeFailure(error);
                    return "Cannot write the lock file " + file + ": " + errorText(error);
                }
                exclusive_ = file;
                exclusiveInode_ = st.st_ino;
                exclusiveDevice_ = st.st_dev;
                return {};
            }
            if (errno == EINTR) {
                continue;
            }
            if (errno != EEXIST) {
                failure_ = writeFailure(errno);
                return "Cannot make the lock file " + file + ": " + errorText(errno);
            }
            if (takeOverIfStale(file, host)) {
                continue;
            }
            if (Clock::now() >= deadline) {
                failure_ = kLockViolation;
                return "Another program has held the lock " + file + " for too long.";
            }
            std::this_thread::sleep_for(pause);
        }
    }

    // What this program has seen of a lock file: its identity and content, and since when by
    // the monotonic clock they have not moved. Kept between changes, so a lock left behind is
    // known as such once the stale time has passed, however the writes fall.
    struct Seen {
        ino_t inode = 0;
        long long modifiedSec = 0, modifiedNsec = 0;
        std::string text;
        Clock::time_point since;
    };
    static std::map<std::string, Seen>& seenLocks() {
        static std::map<std::string, Seen> seen;
        return seen;
    }
    static std::mutex& seenMutex() {
        static std::mutex mutex;
        return mutex;
    }

    // Whether the lock file has kept its identity, time of change and content for the stale
    // time while this program looked. Its time of change is only compared with itself: another
    // machine's clock never is with this one's.
    static bool unchangedFor(const std::string& file, const struct stat& st,
                             const std::string& text) {
        const std::lock_guard guard(seenMutex());
        const Seen now{st.st_ino, st.st_mtim.tv_sec, st.st_mtim.tv_nsec, text, Clock::now()};
        const auto [at, added] = seenLocks().try_emplace(file, now);
        Seen& seen = at->second;
        if (added || seen.inode != now.inode || seen.modifiedSec != now.modifiedSec ||
            seen.modifiedNsec != now.modifiedNsec || seen.text != now.text) {
            seen = now;
            return hiveFileHooks().staleLock.count() <= 0;
        }
        return now.since - seen.since >= hiveFileHooks().staleLock;
    }

    // True when the lock file was left by a program that is gone (on this machine), or has not
    // moved for longer than any change takes (an empty one too: its owner died before writing
    // its name), and is now removed.
    static bool takeOverIfStale(const std::string& file, const std::string& host) {
        struct stat st {};
        if (::lstat(file.c_str(), &st) != 0) {
            return errno == ENOENT;  // released meanwhile: try again at once
        }
        std::string text(300, '\0');
        const int fd = ::open(file.c_str(), O_RDONLY | O_CLOEXEC | O_NOFOLLOW | O_NONBLOCK);
        const ssize_t n = fd < 0 ? -1 : ::read(fd, text.data(), text.size());
        if (fd >= 0) {
            ::close(fd);
        }
        text.resize(n > 0 ? static_cast<std::size_t>(n) : 0);
        const auto blank = text.find(' ');
        const long pid = std::strtol(text.c_str(), nullptr, 10);
        const std::string owner =
            blank == std::string::npos ? std::string() : text.substr(blank + 1);
        const bool ownerGone = pid > 0 && pid <= INT_MAX && owner == host + "\n" &&
                               ::kill(static_cast<pid_t>(pid), 0) != 0 && errno == ESRCH;
        if (!ownerGone && !unchangedFor(file, st, text)) {
            return false;
        }
        {
            const std::lock_guard guard(seenMutex());
            seenLocks().erase(file);  // a new lock file there is watched anew
        }
        // Moved aside before it is removed, so that of two programs taking over the same stale
        // file only one removes it; one that moved a fresh lock instead puts it back.
        const std::string aside = file + ".stale." + std::to_string(::getpid());
        if (::rename(file.c_str(), aside.c_str()) != 0) {
            return errno == ENOENT;
        }
        struct stat moved {};
        if (::lstat(aside.c_str(), &moved) == 0 && moved.st_ino != st.st_ino) {
            ::link(aside.c_str(), file.c_str());
        }
        ::unlink(aside.c_str());
        return true;
    }

    int fd_ = -1;
    long failure_ = kWriteFault;  // why take failed, as a change reports it
    std::string exclusive_;
    ino_t exclusiveInode_ = 0;
    dev_t exclusiveDevice_ = 0;
};

}  // namespace

HiveFileHooks& hiveFileHooks() {
    static HiveFileHooks hooks;
    return hooks;
}

std::string userHomeFolder() {
    if (const char* home = std::getenv("HOME"); home != nullptr && *home == '/') {
        return home;
    }
    long size = ::sysconf(_SC_GETPW_R_SIZE_MAX);
    std::vector<char> buffer(size > 0 ? static_cast<std::size_t>(size) : 16384);
    for (;;) {
        passwd entry{};
        passwd* found = nullptr;
        const int r = ::getpwuid_r(::getuid(), &entry, buffer.data(), buffer.size(), &found);
        if (r == ERANGE && buffer.size() < (1u << 20)) {
            buffer.resize(buffer.size() * 2);
            continue;
        }
        if (r != 0 || found == nullptr || found->pw_dir == nullptr || found->pw_dir[0] != '/') {
            return {};
        }
        return found->pw_dir;
    }
}

HivePaths defaultHivePaths() {
    std::string config;
    if (const char* xdg = std::getenv("XDG_CONFIG_HOME"); xdg != nullptr && *xdg == '/') {
        config = xdg;
    } else if (const std::string home = userHomeFolder(); !home.empty()) {
        config = home + "/.config";
    }
    // With no home folder at all the user's store has no path, and every use of it says so.
    return {config.empty() ? std::string() : config + "/horalog/HKEY_CURRENT_USER.reg",
            "/etc/xdg/horalog/HKEY_LOCAL_MACHINE.reg"};
}

std::shared_ptr<RegistryBackend> makeSystemRegistryBackend() {
    return std::make_shared<HiveFileBackend>(defaultHivePaths());
}

HiveFileBackend::HiveFileBackend(HivePaths paths, bool machineWritable)
    : paths_(std::move(paths)), machineWritable_(machineWritable) {}

const std::string* HiveFileBackend::fileOf(std::uint32_t root) const {
    if (root == kHKeyCurrentUser) {
        return &paths_.user;
    }
    if (root == kHKeyLocalMachine) {
        return &paths_.machine;
    }
    return nullptr;
}

bool HiveFileBackend::writableRoot(std::uint32_t root) const {
    return root == kHKeyCurrentUser || (root == kHKeyLocalMachine && machineWritable_);
}

std::string HiveFileBackend::changeStamp(std::uint32_t root, const std::string& /*path*/) {
    const std::string* file = fileOf(root);
    if (file == nullptr) {
        return {};
    }
    // A look at the name, not an open: this runs at every tick. A command reads the store
    // whole, so a network home's cached look only ever delays a tick's following.
    struct stat st {};
    if (::stat(file->c_str(), &st) != 0) {
        return errno == ENOENT || errno == ENOTDIR ? "none" : std::string();
    }
    if (!S_ISREG(st.st_mode)) {
        return {};
    }
    return std::to_string(st.st_dev) + ':' + std::to_string(st.st_ino) + ':' +
           std::to_string(st.st_size) + ':' + std::to_string(st.st_mtim.tv_sec) + '.' +
           std::to_string(st.st_mtim.tv_nsec) + ':' + std::to_string(st.st_ctim.tv_sec) + '.' +
           std::to_string(st.st_ctim.tv_nsec);
}

long HiveFileBackend::read(std::uint32_t root, const Hive*& hive) {
    const std::string* file = fileOf(root);
    if (file == nullptr) {
        return kFileNotFound;
    }
    Cached& cached = cache_[root == kHKeyLocalMachine ? 1 : 0];
    if (const long r = readFile(root, *file, cached); r != kSuccess) {
        cached = Cached{};
        // The machine-wide store is only ever read: one this user may not read, or that is
        // damaged, counts as no key, and the defaults are used. The per-user store stays strict,
        // since an empty one would be overwritten with defaults.
        if (root == kHKeyLocalMachine && !machineWritable_) {
            hive = &empty_;
            return kSuccess;
        }
        return r;
    }
    hive = &cached.hive;
    return kSuccess;
}

long HiveFileBackend::readFile(std::uint32_t root, const std::string& file, Cached& cached) {
    if (file.empty()) {
        problem_ = "There is no home folder to keep the settings in.";
        return kRegistryCorrupt;
    }
    // Never blocking: a FIFO at the path must not stop the program.
    const int fd = ::open(file.c_str(), O_RDONLY | O_CLOEXEC | O_NONBLOCK | O_NOCTTY);
    if (fd < 0) {
        if (errno == ENOENT || errno == ENOTDIR) {
            cached = Cached{};
            return kSuccess;
        }
        problem_ = "Cannot read the settings file " + file + ": " + errorText(errno);
        return kRegistryCorrupt;
    }
    struct stat st {};
    if (::fstat(fd, &st) != 0 || !S_ISREG(st.st_mode)) {
        problem_ = "The settings file " + file + " is " + kindOf(st.st_mode) + ", not a file.";
        ::close(fd);
        return kRegistryCorrupt;
    }
    const FileIdentity identity{
        static_cast<unsigned long long>(st.st_dev), static_cast<unsigned long long>(st.st_ino),
        static_cast<long long>(st.st_size),         static_cast<long long>(st.st_mtim.tv_sec),
        static_cast<long long>(st.st_mtim.tv_nsec), static_cast<long long>(st.st_ctim.tv_sec),
        static_cast<long long>(st.st_ctim.tv_nsec)};
    if (cached.parsed && cached.settled && cached.identity == identity) {
        ::close(fd);
        return kSuccess;
    }
    std::string text;
    bool tooLarge = static_cast<std::size_t>(st.st_size) > kMaxHiveText;
    if (!tooLarge) {
        text.reserve(static_cast<std::size_t>(st.st_size));
    }
    char buffer[65536];
    while (!tooLarge) {
        const ssize_t n = ::read(fd, buffer, sizeof buffer);
        if (n < 0 && errno == EINTR) {
            continue;
        }
        if (n < 0) {
            problem_ = "Cannot read the settings file " + file + ": " + errorText(errno);
            ::close(fd);
            return kRegistryCorrupt;
        }
        if (n == 0) {
            break;
        }
        text.append(buffer, static_cast<std::size_t>(n));
        tooLarge = text.size() > kMaxHiveText;
    }
    ::close(fd);
    if (!cached.parsed || text != cached.text) {
        auto parsed = tooLarge ? std::nullopt : parseHive(text, rootName(root));
        if (!parsed) {
            problem_ = "The settings file " + file + " is damaged and cannot be read.";
            return kRegistryCorrupt;
        }
        cached.hive = std::move(*parsed);
        cached.text = std::move(text);
        cached.parsed = true;
    }
    // Time stamps move in ticks: a file changed again within the tick of the change seen here
    // would keep its identity. Until a file has been still for longer than a tick, it is read
    // (not parsed) again at each request.
    timespec now{};
    ::clock_gettime(CLOCK_REALTIME, &now);
    constexpr long long kTick = 100'000'000;  // ns, beyond any kernel's time stamp granularity
    const long long changed = identity.changedSec * 1'000'000'000 + identity.changedNsec;
    cached.settled = changed + kTick < now.tv_sec * 1'000'000'000LL + now.tv_nsec;
    cached.identity = identity;
    return kSuccess;
}

long HiveFileBackend::change(std::uint32_t root, const std::function<long(Hive&)>& edit) {
    const std::string* file = fileOf(root);
    if (file == nullptr) {
        return kFileNotFound;
    }
    if (!writableRoot(root)) {
        return kAccessDenied;
    }
    if (file->empty()) {
        problem_ = "There is no home folder to keep the settings in.";
        return kRegistryCorrupt;
    }
    std::string target;
    if (int error = 0; !followLinks(*file, target, error)) {
        problem_ = "Cannot follow the settings file " + *file + ": " + errorText(error);
        return kRegistryCorrupt;
    }
    // A FIFO or a device is never opened for the lock or the temporary file beside it.
    if (struct stat st{}; ::lstat(target.c_str(), &st) == 0 && !S_ISREG(st.st_mode)) {
        problem_ = "The settings file " + *file + " is " + kindOf(st.st_mode) + ", not a file.";
        return kRegistryCorrupt;
    }
    if (!makeFolders(folderOf(target))) {
        problem_ = "Cannot make the folder " + folderOf(target) + " for the settings.";
        return writeFailure(errno);
    }
    StoreLock lock;
    if (std::string why = lock.take(target + ".lock"); !why.empty()) {
        problem_ = std::move(why);
        return lock.failure();
    }
    // Under the lock no other writer has a temporary file of its own.
    removeLeftoverTemps(target);
    // Always read again here: a cached hive may be one write behind another program's.
    Cached& cached = cache_[root == kHKeyLocalMachine ? 1 : 0];
    cached.settled = false;
    if (const long r = readFile(root, target, cached); r != kSuccess) {
        cached = Cached{};
        return r;
    }
    const long edited = edit(cached.hive);
    if (edited == kUnchanged) {
        return kSuccess;
    }
    cached.parsed = false;  // the hive is ahead of the text now
    if (edited != kSuccess) {
        return edited;
    }
    return save(root, target, cached);
}

long HiveFileBackend::save(std::uint32_t root, const std::string& target, Cached& cached) {
    const std::string folder = folderOf(target);
    std::string temp = target + ".XXXXXX";
    const int fd = ::mkstemp(temp.data());
    if (fd < 0) {
        problem_ = "Cannot write in the folder " + folder + ": " + errorText(errno);
        return writeFailure(errno);
    }
    std::string text = writeHive(cached.hive, rootName(root));
    // mkstemp makes the file 0600 whatever the umask; the settings are the user's alone.
    bool written = ::fchmod(fd, 0600) == 0 && writeAll(fd, text) && ::fsync(fd) == 0;
    if (written) {
        if (const auto hook = hiveFileHooks().beforeRename) {
            hook();
        }
        written = ::rename(temp.c_str(), target.c_str()) == 0;
    }
    if (!written) {
        const int error = errno;
        problem_ = "Cannot write the settings file " + target + ": " + errorText(error);
        ::close(fd);
        ::unlink(temp.c_str());
        return writeFailure(error);
    }
    ::close(fd);
    syncFolder(folder);
    cached.text = std::move(text);
    cached.parsed = true;
    return kSuccess;
}

RegistryBackend::Handle HiveFileBackend::remember(std::uint32_t root, const std::string& path,
                                                  bool writable) {
    const Handle handle = next_++;
    open_[handle] = OpenKeyEntry{root, path, writable};
    return handle;
}

long HiveFileBackend::openKey(std::uint32_t root, const std::string& path, std::uint32_t access,
                              Handle& key) {
    const Hive* hive = nullptr;
    if (const long r = read(root, hive); r != kSuccess) {
        return r;
    }
    const bool wantsWrite = access == kAllAccess;
    if (wantsWrite && !writableRoot(root)) {
        return kAccessDenied;
    }
    if (!path.empty() && hive->find(path) == nullptr) {
        return kFileNotFound;
    }
    key = remember(root, path, wantsWrite);
    return kSuccess;
}

long HiveFileBackend::createKey(std::uint32_t root, const std::string& path, Handle& key) {
    const long r = change(root, [&](Hive& hive) {
        if (path.empty() || hive.find(path) != nullptr) {
            return kUnchanged;
        }
        hive.create(path);
        return kSuccess;
    });
    if (r != kSuccess) {
        return r;
    }
    key = remember(root, path, true);
    return kSuccess;
}

void HiveFileBackend::closeKey(Handle key) {
    open_.erase(key);
}

long HiveFileBackend::deleteKey(std::uint32_t root, const std::string& path) {
    if (!writableRoot(root)) {
        const Hive* hive = nullptr;
        const long r = read(root, hive);
        return r != kSuccess                                 ? r
               : path.empty() || hive->find(path) == nullptr ? kFileNotFound
                                                             : kAccessDenied;
    }
    return change(root, [&](Hive& hive) {
        if (path.empty() || hive.find(path) == nullptr) {
            return kFileNotFound;
        }
        if (!hive.childNames(path).empty()) {
            return kAccessDenied;
        }
        hive.remove(path);
        return kSuccess;
    });
}

long HiveFileBackend::resolve(Handle handle, const Hive*& hive, const HiveKey*& key,
                              const OpenKeyEntry*& entry) {
    const auto it = open_.find(handle);
    if (it == open_.end()) {
        return kInvalidParameter;
    }
    entry = &it->second;
    if (const long r = read(entry->root, hive); r != kSuccess) {
        return r;
    }
    static const HiveKey kEmptyRoot;
    key = hive->find(entry->path);
    if (key == nullptr && entry->path.empty()) {
        key = &kEmptyRoot;  // the root exists without a section of its own
    }
    return key == nullptr ? kKeyDeleted : kSuccess;
}

long HiveFileBackend::queryValue(Handle handle, const std::string& name, std::size_t bufferSize,
                                 std::string& data) {
    const Hive* hive = nullptr;
    const HiveKey* key = nullptr;
    const OpenKeyEntry* entry = nullptr;
    if (const long r = resolve(handle, hive, key, entry); r != kSuccess) {
        return r;
    }
    const std::string* value = findValue(*key, name);
    if (value == nullptr) {
        return kFileNotFound;
    }
    if (value->size() + 1 > bufferSize) {
        return kMoreData;
    }
    data = *value;
    data += '\0';
    return kSuccess;
}

long HiveFileBackend::setValue(Handle handle, const std::string& name, const std::string& text) {
    const auto it = open_.find(handle);
    if (it == open_.end()) {
        return kInvalidParameter;
    }
    const OpenKeyEntry entry = it->second;
    if (!entry.writable) {
        return kAccessDenied;
    }
    if (!storableText(name) || !storableText(text)) {
        return kInvalidParameter;
    }
    return change(entry.root, [&](Hive& hive) {
        HiveKey* key = entry.path.empty() ? &hive.create("") : hive.find(entry.path);
        if (key == nullptr) {
            return kKeyDeleted;
        }
        for (auto& [n, v] : key->values) {
            if (sameName(n, name)) {
                v = text;
                return kSuccess;
            }
        }
        key->values.emplace_back(name, text);
        return kSuccess;
    });
}

long HiveFileBackend::deleteValue(Handle handle, const std::string& name) {
    const auto it = open_.find(handle);
    if (it == open_.end()) {
        return kInvalidParameter;
    }
    const OpenKeyEntry entry = it->second;
    if (!entry.writable) {
        return kAccessDenied;
    }
    return change(entry.root, [&](Hive& hive) {
        HiveKey* key = hive.find(entry.path);
        if (key == nullptr) {
            return entry.path.empty() ? kFileNotFound : kKeyDeleted;
        }
        const auto before = key->values.size();
        std::erase_if(key->values, [&](const auto& v) { return sameName(v.first, name); });
        return key->values.size() == before ? kFileNotFound : kSuccess;
    });
}

long HiveFileBackend::queryInfo(Handle handle, KeyInfo& info) {
    const Hive* hive = nullptr;
    const HiveKey* key = nullptr;
    const OpenKeyEntry* entry = nullptr;
    if (const long r = resolve(handle, hive, key, entry); r != kSuccess) {
        return r;
    }
    info = KeyInfo{};
    for (const auto& child : hive->childNames(entry->path)) {
        ++info.subKeys;
        info.maxSubKeyLen = std::max(info.maxSubKeyLen, static_cast<std::int32_t>(child.size()));
    }
    for (const auto& [name, value] : key->values) {
        ++info.values;
        info.maxValueNameLen =
            std::max(info.maxValueNameLen, static_cast<std::int32_t>(name.size()));
        info.maxValueLen = std::max(info.maxValueLen, static_cast<std::int32_t>(value.size() + 1));
    }
    const Cached& cached = cache_[entry->root == kHKeyLocalMachine ? 1 : 0];
    if (hive == &cached.hive && cached.parsed) {
        constexpr std::uint64_t kEpochDifference = 11644473600ull;  // 1601 to 1970, seconds
        info.lastWriteTime =
            (static_cast<std::uint64_t>(cached.identity.modifiedSec) + kEpochDifference) *
                10000000ull +
            static_cast<std::uint64_t>(cached.identity.modifiedNsec) / 100;
    }
    return kSuccess;
}

long HiveFileBackend::enumKey(Handle handle, std::uint32_t index, std::string& name) {
    const Hive* hive = nullptr;
    const HiveKey* key = nullptr;
    const OpenKeyEntry* entry = nullptr;
    if (const long r = resolve(handle, hive, key, entry); r != kSuccess) {
        return r;
    }
    const auto names = hive->childNames(entry->path);
    if (index >= names.size()) {
        return kNoMoreItems;
    }
    name = names[index];
    return kSuccess;
}

long HiveFileBackend::enumValue(Handle handle, std::uint32_t index, std::string& name) {
    const Hive* hive = nullptr;
    const HiveKey* key = nullptr;
    const OpenKeyEntry* entry = nullptr;
    if (const long r = resolve(handle, hive, key, entry); r != kSuccess) {
        return r;
    }
    if (index >= key->values.size()) {
        return kNoMoreItems;
    }
    name = key->values[index].first;
    return kSuccess;
}

LocalTime HiveFileBackend::toLocalTime(std::uint64_t fileTime) {
    constexpr std::uint64_t kEpochDifference = 11644473600ull;
    const auto seconds = static_cast<std::int64_t>(fileTime / 10000000ull) -
                         static_cast<std::int64_t>(kEpochDifference);
    const std::time_t t = static_cast<std::time_t>(seconds);
    std::tm tm{};
    ::localtime_r(&t, &tm);
    return {tm.tm_year + 1900, tm.tm_mon + 1, tm.tm_mday, tm.tm_hour, tm.tm_min, tm.tm_sec};
}

}  // namespace horalog
