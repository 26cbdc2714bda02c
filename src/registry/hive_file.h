#pragma once

#include <array>
#include <chrono>
#include <functional>
#include <map>
#include <string>

#include "registry/hive_text.h"
#include "registry/registry_backend.h"

namespace horalog {

struct HivePaths {
    std::string user;     // HKEY_CURRENT_USER
    std::string machine;  // HKEY_LOCAL_MACHINE, read only for the program
};

// $XDG_CONFIG_HOME/horalog/HKEY_CURRENT_USER.reg and /etc/xdg/horalog/HKEY_LOCAL_MACHINE.reg.
HivePaths defaultHivePaths();

// $HOME when it is set to an absolute path, else the home folder the password database gives
// this user; empty when neither knows one.
std::string userHomeFolder();

// What tests put in place of the store's own steps, to reach cases they cannot make from
// outside: a file system without locks, a slow disk, a lock held long.
struct HiveFileHooks {
    // Stands in for fcntl(fd, F_OFD_SETLK, ...) on the lock file; null for the real call.
    int (*tryLock)(int fd) = nullptr;
    // Runs between the new file's sync and its rename over the old one.
    void (*beforeRename)() = nullptr;
    // How long a change waits for another program's lock before it fails.
    std::chrono::milliseconds lockWait{5000};
};
HiveFileHooks& hiveFileHooks();

// The registry kept in REGEDIT4 files, one per root. A read sees the file as it is now (parsed
// again whenever the file changed); every change reads, changes and replaces the file atomically
// under a lock beside it, so that programs sharing the file never undo each other's changes.
class HiveFileBackend : public RegistryBackend {
public:
    explicit HiveFileBackend(HivePaths paths, bool machineWritable = false);

    long openKey(std::uint32_t root, const std::string& path, std::uint32_t access,
                 Handle& key) override;
    long createKey(std::uint32_t root, const std::string& path, Handle& key) override;
    void closeKey(Handle key) override;
    long deleteKey(std::uint32_t root, const std::string& path) override;
    long queryValue(Handle key, const std::string& name, std::size_t bufferSize,
                    std::string& data) override;
    long setValue(Handle key, const std::string& name, const std::string& text) override;
    long deleteValue(Handle key, const std::string& name) override;
    long queryInfo(Handle key, KeyInfo& info) override;
    long enumKey(Handle key, std::uint32_t index, std::string& name) override;
    long enumValue(Handle key, std::uint32_t index, std::string& name) override;
    LocalTime toLocalTime(std::uint64_t fileTime) override;
    std::string storeProblem() override { return problem_; }
    // The root's file as stat sees it: a whole file holds every key.
    std::string changeStamp(std::uint32_t root, const std::string& path) override;

private:
    struct OpenKeyEntry {
        std::uint32_t root;
        std::string path;
        bool writable;
    };

    // What tells one version of a store file from another.
    struct FileIdentity {
        unsigned long long device = 0, inode = 0;
        long long size = -1, modifiedSec = 0, modifiedNsec = 0, changedSec = 0, changedNsec = 0;
        bool operator==(const FileIdentity&) const = default;
    };
    // The last text read from a root's file and its hive. A request reads the file again and
    // parses it only when the text changed; once the file has settled, its identity alone
    // tells that it did not.
    struct Cached {
        bool parsed = false;   // hive is the parse of text
        bool settled = false;  // the file changed longer ago than a tick of its time stamps
        FileIdentity identity;
        std::string text;
        Hive hive;
    };
    // The read-modify-write of a change, under the store's lock. edit returns kSuccess when
    // the hive is to be written, kUnchanged when nothing changed, or an error.
    static constexpr long kUnchanged = -1;
    long change(std::uint32_t root, const std::function<long(Hive&)>& edit);

    const std::string* fileOf(std::uint32_t root) const;
    bool writableRoot(std::uint32_t root) const;
    // The hive as the file holds it now, from the cache while the file is unchanged.
    long read(std::uint32_t root, const Hive*& hive);
    long readFile(std::uint32_t root, const std::string& file, Cached& cached);
    long save(std::uint32_t root, const std::string& target, Cached& cached);
    // The key an open handle names in a hive just read.
    long resolve(Handle handle, const Hive*& hive, const HiveKey*& key, const OpenKeyEntry*& entry);
    Handle remember(std::uint32_t root, const std::string& path, bool writable);

    HivePaths paths_;
    bool machineWritable_;
    std::map<Handle, OpenKeyEntry> open_;
    Handle next_ = 1;
    std::string problem_;
    std::array<Cached, 2> cache_;
    Hive empty_;
};

}  // namespace horalog
