#pragma once

#include <gtest/gtest.h>

#include <QByteArray>
#include <QString>
#include <cstdint>
#include <memory>
#include <optional>
#include <string>

#include "file_bytes.h"
#include "registry/registry.h"
#include "settings/settings.h"
#include "settings/store_text.h"

// Windows keeps the settings in the registry: there a test empties and seeds the program's real
// keys. Elsewhere the store is a pair of REGEDIT4 files in the test's folder.
#ifdef _WIN32
#include "registry/hive_text.h"

namespace horalog::testing::store {

inline std::shared_ptr<RegistryBackend> backend(const QString&) {
    return makeSystemRegistryBackend();
}

inline void empty(const QString&) {
    // The program's key has no subkeys, and Windows deletes only a key without any.
    for (const std::uint32_t root : {kHKeyCurrentUser, kHKeyLocalMachine}) {
        makeSystemRegistryBackend()->deleteKey(root, kSettingsKey);
    }
}

inline void seed(const QString&, std::uint32_t root, const QByteArray& regedit4) {
    const auto hive =
        parseHive(regedit4.toStdString(),
                  root == kHKeyCurrentUser ? "HKEY_CURRENT_USER" : "HKEY_LOCAL_MACHINE");
    ASSERT_TRUE(hive) << regedit4.toStdString();
    CRegistry reg(makeSystemRegistryBackend());
    for (const HiveKey& key : hive->keys) {
        ASSERT_TRUE(reg.OpenKey(root, key.path, true, true)) << key.path;
        // The seed is UTF-8; the registry's text is the code page's, as the program writes it.
        for (const auto& [name, value] : key.values) {
            reg.WriteValue(name, toStoreText(QString::fromStdString(value)));
        }
    }
}

}  // namespace horalog::testing::store
#else
#include "registry/hive_file.h"

namespace horalog::testing::store {

inline QString fileOf(const QString& folder, std::uint32_t root) {
    return folder + (root == kHKeyCurrentUser ? QStringLiteral("/config/HKEY_CURRENT_USER.reg")
                                              : QStringLiteral("/HKEY_LOCAL_MACHINE.reg"));
}

inline std::shared_ptr<RegistryBackend> backend(const QString& folder) {
    return std::make_shared<HiveFileBackend>(
        HivePaths{fileOf(folder, kHKeyCurrentUser).toStdString(),
                  fileOf(folder, kHKeyLocalMachine).toStdString()});
}

inline void empty(const QString&) {}  // a fresh folder holds no store

inline void seed(const QString& folder, std::uint32_t root, const QByteArray& regedit4) {
    writeBytes(fileOf(folder, root), regedit4);
}

}  // namespace horalog::testing::store
#endif

namespace horalog::testing {

// The settings store under a test's window, seeded from REGEDIT4 text and read back by value.
class TestStore {
public:
    explicit TestStore(const QString& folder) : folder_(folder) { store::empty(folder_); }
    std::shared_ptr<RegistryBackend> backend() const { return store::backend(folder_); }
    void seed(std::uint32_t root, const QByteArray& regedit4) {
        store::seed(folder_, root, regedit4);
    }
    // As UTF-8, whatever the store's own encoding.
    std::optional<std::string> userValue(const std::string& name) const {
        CRegistry reg(backend());
        return reg.OpenKey(kHKeyCurrentUser, kSettingsKey) && reg.ValueExists(name)
                   ? std::optional(fromStoreText(reg.ReadValue(name)).toStdString())
                   : std::nullopt;
    }
    bool userKeyExists() const {
        return CRegistry(backend()).OpenKey(kHKeyCurrentUser, kSettingsKey);
    }

private:
    QString folder_;
};

}  // namespace horalog::testing
