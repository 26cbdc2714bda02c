#include "registry/hive_file.h"

#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>

#include <algorithm>
#include <cerrno>
#include <ctime>

#include "registry/hive_io.h"
#include "registry/store_lock.h"

namespace horalog {

namespace {

using namespace hive_io;

const char* rootName(std::uint32_t root) {
    return root == kHKeyLocalMachine ? "HKEY_LOCAL_MACHINE" : "HKEY_CURRENT_USER";
}

}  // namespace

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
    if (StoreLocked locked = lock.take(target + ".lock"); !locked.held) {
        problem_ = std::move(locked.problem);
        return locked.code;
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
