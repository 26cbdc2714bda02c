#pragma once

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

// The registry kept in REGEDIT4 files, one per root. Every request reads the file afresh and
// every change replaces it atomically.
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

private:
    struct OpenKeyEntry {
        std::uint32_t root;
        std::string path;
        bool writable;
    };

    const std::string* fileOf(std::uint32_t root) const;
    bool writableRoot(std::uint32_t root) const;
    long load(std::uint32_t root, Hive& hive);
    long loadFile(std::uint32_t root, Hive& hive);
    long save(std::uint32_t root, const Hive& hive);
    // The hive of an open key, loaded afresh, and the key in it.
    struct Resolved {
        Hive hive;
        HiveKey* key = nullptr;
        const OpenKeyEntry* entry = nullptr;
    };
    long resolve(Handle handle, Resolved& open);
    Handle remember(std::uint32_t root, const std::string& path, bool writable);

    HivePaths paths_;
    bool machineWritable_;
    std::map<Handle, OpenKeyEntry> open_;
    Handle next_ = 1;
    std::string problem_;
};

}  // namespace horalog
