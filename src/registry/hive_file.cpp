#include "registry/hive_file.h"

#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>

#include <cerrno>
#include <cstdlib>
#include <cstring>
#include <ctime>

namespace horalog {

namespace {

const char* rootName(std::uint32_t root) {
    return root == kHKeyLocalMachine ? "HKEY_LOCAL_MACHINE" : "HKEY_CURRENT_USER";
}

std::string folderOf(const std::string& file) {
    const auto cut = file.rfind('/');
    return cut == std::string::npos ? std::string(".") : file.substr(0, cut == 0 ? 1 : cut);
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

}  // namespace

HivePaths defaultHivePaths() {
    std::string config;
    if (const char* xdg = std::getenv("XDG_CONFIG_HOME"); xdg != nullptr && *xdg == '/') {
        config = xdg;
    } else if (const char* home = std::getenv("HOME"); home != nullptr && *home != '\0') {
        config = std::string(home) + "/.config";
    } else {
        config = "/tmp";
    }
    return {config + "/horalog/HKEY_CURRENT_USER.reg", "/etc/xdg/horalog/HKEY_LOCAL_MACHINE.reg"};
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

long HiveFileBackend::load(std::uint32_t root, Hive& hive) {
    const long r = loadFile(root, hive);
    // The machine-wide store is only ever read: one this user may not read, or that is damaged,
    // counts as no key, and the defaults are used. The per-user store stays strict, since an
    // empty one would be overwritten with defaults.
    if (r != kSuccess && root == kHKeyLocalMachine && !machineWritable_) {
        hive = Hive{};
        return kSuccess;
    }
    return r;
}

long HiveFileBackend::loadFile(std::uint32_t root, Hive& hive) {
    const std::string* file = fileOf(root);
    if (file == nullptr) {
        return kFileNotFound;
    }
    const int fd = ::open(file->c_str(), O_RDONLY | O_CLOEXEC);
    if (fd < 0) {
        if (errno == ENOENT || errno == ENOTDIR) {
            hive = Hive{};
            return kSuccess;
        }
        problem_ = "Cannot read the settings file " + *file + ": " + std::strerror(errno);
        return kRegistryCorrupt;
    }
    std::string text;
    char buffer[8192];
    // Settings files are tiny; anything this large is not ours.
    constexpr std::size_t kMaxSize = 16u << 20;
    for (;;) {
        const ssize_t n = ::read(fd, buffer, sizeof buffer);
        if (n < 0 && errno == EINTR) {
            continue;
        }
        if (n <= 0 || text.size() > kMaxSize) {
            break;
        }
        text.append(buffer, static_cast<std::size_t>(n));
    }
    ::close(fd);
    auto parsed = text.size() > kMaxSize ? std::nullopt : parseHive(text, rootName(root));
    if (!parsed) {
        problem_ = "The settings file " + *file + " is damaged and cannot be read.";
        return kRegistryCorrupt;
    }
    hive = std::move(*parsed);
    return kSuccess;
}

long HiveFileBackend::save(std::uint32_t root, const Hive& hive) {
    const std::string& file = *fileOf(root);
    const std::string folder = folderOf(file);
    if (!makeFolders(folder)) {
        return kAccessDenied;
    }
    std::string temp = file + ".XXXXXX";
    const int fd = ::mkstemp(temp.data());
    if (fd < 0) {
        return kAccessDenied;
    }
    const bool written = writeAll(fd, writeHive(hive, rootName(root))) && ::fsync(fd) == 0;
    ::fchmod(fd, 0600);
    if (::close(fd) != 0 || !written || ::rename(temp.c_str(), file.c_str()) != 0) {
        ::unlink(temp.c_str());
        return kAccessDenied;
    }
    syncFolder(folder);
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
    Hive hive;
    if (const long r = load(root, hive); r != kSuccess) {
        return r;
    }
    const bool wantsWrite = access == kAllAccess;
    if (wantsWrite && !writableRoot(root)) {
        return kAccessDenied;
    }
    if (!path.empty() && hive.find(path) == nullptr) {
        return kFileNotFound;
    }
    key = remember(root, path, wantsWrite);
    return kSuccess;
}

long HiveFileBackend::createKey(std::uint32_t root, const std::string& path, Handle& key) {
    Hive hive;
    if (const long r = load(root, hive); r != kSuccess) {
        return r;
    }
    if (!writableRoot(root)) {
        return kAccessDenied;
    }
    if (!path.empty() && hive.find(path) == nullptr) {
        hive.create(path);
        if (const long r = save(root, hive); r != kSuccess) {
            return r;
        }
    }
    key = remember(root, path, true);
    return kSuccess;
}

void HiveFileBackend::closeKey(Handle key) {
    open_.erase(key);
}

long HiveFileBackend::deleteKey(std::uint32_t root, const std::string& path) {
    Hive hive;
    if (const long r = load(root, hive); r != kSuccess) {
        return r;
    }
    if (path.empty() || hive.find(path) == nullptr) {
        return kFileNotFound;
    }
    if (!writableRoot(root) || !hive.childNames(path).empty()) {
        return kAccessDenied;
    }
    std::erase_if(hive.keys, [&](const HiveKey& k) { return sameName(k.path, path); });
    return save(root, hive);
}

long HiveFileBackend::resolve(Handle handle, Resolved& open) {
    const auto it = open_.find(handle);
    if (it == open_.end()) {
        return kInvalidParameter;
    }
    open.entry = &it->second;
    if (const long r = load(open.entry->root, open.hive); r != kSuccess) {
        return r;
    }
    open.key = open.entry->path.empty() ? &open.hive.create("") : open.hive.find(open.entry->path);
    return open.key == nullptr ? kKeyDeleted : kSuccess;
}

long HiveFileBackend::queryValue(Handle handle, const std::string& name, std::size_t bufferSize,
                                 std::string& data) {
    Resolved open;
    if (const long r = resolve(handle, open); r != kSuccess) {
        return r;
    }
    const std::string* value = findValue(*open.key, name);
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
    Resolved open;
    if (const long r = resolve(handle, open); r != kSuccess) {
        return r;
    }
    if (!open.entry->writable) {
        return kAccessDenied;
    }
    if (!storableText(name) || !storableText(text)) {
        return kInvalidParameter;
    }
    bool replaced = false;
    for (auto& [n, v] : open.key->values) {
        if (sameName(n, name)) {
            v = text;
            replaced = true;
        }
    }
    if (!replaced) {
        open.key->values.emplace_back(name, text);
    }
    return save(open.entry->root, open.hive);
}

long HiveFileBackend::deleteValue(Handle handle, const std::string& name) {
    Resolved open;
    if (const long r = resolve(handle, open); r != kSuccess) {
        return r;
    }
    if (!open.entry->writable) {
        return kAccessDenied;
    }
    const auto before = open.key->values.size();
    std::erase_if(open.key->values, [&](const auto& v) { return sameName(v.first, name); });
    if (open.key->values.size() == before) {
        return kFileNotFound;
    }
    return save(open.entry->root, open.hive);
}

long HiveFileBackend::queryInfo(Handle handle, KeyInfo& info) {
    Resolved open;
    if (const long r = resolve(handle, open); r != kSuccess) {
        return r;
    }
    info = KeyInfo{};
    for (const auto& child : open.hive.childNames(open.entry->path)) {
        ++info.subKeys;
        info.maxSubKeyLen = std::max(info.maxSubKeyLen, static_cast<std::int32_t>(child.size()));
    }
    for (const auto& [name, value] : open.key->values) {
        ++info.values;
        info.maxValueNameLen =
            std::max(info.maxValueNameLen, static_cast<std::int32_t>(name.size()));
        info.maxValueLen = std::max(info.maxValueLen, static_cast<std::int32_t>(value.size() + 1));
    }
    struct stat st {};
    if (::stat(fileOf(open.entry->root)->c_str(), &st) == 0) {
        constexpr std::uint64_t kEpochDifference = 11644473600ull;  // 1601 to 1970, seconds
        info.lastWriteTime =
            (static_cast<std::uint64_t>(st.st_mtim.tv_sec) + kEpochDifference) * 10000000ull +
            static_cast<std::uint64_t>(st.st_mtim.tv_nsec) / 100;
    }
    return kSuccess;
}

long HiveFileBackend::enumKey(Handle handle, std::uint32_t index, std::string& name) {
    Resolved open;
    if (const long r = resolve(handle, open); r != kSuccess) {
        return r;
    }
    const auto names = open.hive.childNames(open.entry->path);
    if (index >= names.size()) {
        return kNoMoreItems;
    }
    name = names[index];
    return kSuccess;
}

long HiveFileBackend::enumValue(Handle handle, std::uint32_t index, std::string& name) {
    Resolved open;
    if (const long r = resolve(handle, open); r != kSuccess) {
        return r;
    }
    if (index >= open.key->values.size()) {
        return kNoMoreItems;
    }
    name = open.key->values[index].first;
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
