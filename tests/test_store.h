#pragma once

#include <functional>
#include <optional>

#include "settings/settings.h"
#include "settings/store_text.h"
#include "test_helpers.h"
#ifdef _WIN32
#include "registry/hive_text.h"
#else
#include "registry/hive_file.h"
#endif

namespace horalog::testing {

// A test's store from REGEDIT4 text: the real keys on Windows, emptied first; else two files.
#ifdef _WIN32
class TestStore {
public:
    explicit TestStore(const QString&) {
        forget(kHKeyCurrentUser);
        forget(kHKeyLocalMachine);
    }
    std::shared_ptr<RegistryBackend> backend() const { return makeSystemRegistryBackend(); }
    // The program's key has no subkeys, and Windows deletes only a key without any.
    void forget(std::uint32_t root) { backend()->deleteKey(root, kSettingsKey); }
    void seed(std::uint32_t root, const QByteArray& regedit4) {
        const auto hive =
            parseHive(regedit4.toStdString(),
                      root == kHKeyCurrentUser ? "HKEY_CURRENT_USER" : "HKEY_LOCAL_MACHINE");
        ASSERT_TRUE(hive) << regedit4.toStdString();
        CRegistry reg(backend());
        for (const HiveKey& key : hive->keys) {
            ASSERT_TRUE(reg.OpenKey(root, key.path, true, true)) << key.path;
            // The seed is UTF-8; the registry's text is the code page's, as the program writes it.
            for (const auto& [name, value] : key.values) {
                reg.WriteValue(name, toStoreText(QString::fromStdString(value)));
            }
        }
    }
#else
class TestStore {
public:
    explicit TestStore(const QString& folder) : folder_(folder) {}
    QString fileOf(std::uint32_t root) const {
        return folder_ + (root == kHKeyCurrentUser ? QStringLiteral("/config/HKEY_CURRENT_USER.reg")
                                                   : QStringLiteral("/HKEY_LOCAL_MACHINE.reg"));
    }
    std::shared_ptr<RegistryBackend> backend() const {
        return std::make_shared<HiveFileBackend>(HivePaths{
            fileOf(kHKeyCurrentUser).toStdString(), fileOf(kHKeyLocalMachine).toStdString()});
    }
    void forget(std::uint32_t root) { QFile::remove(fileOf(root)); }
    void seed(std::uint32_t root, const QByteArray& text) { writeBytes(fileOf(root), text); }
#endif
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

// A store as on a full disk while `full`; it shows each write first, counts reads, fakes `stamp`.
struct FullStore : RegistryBackend {
    using S = std::string;
    using U = std::uint32_t;
    explicit FullStore(std::shared_ptr<RegistryBackend> inner) : in(std::move(inner)) {}
    long openKey(U r, const S& p, U a, Handle& k) override { return in->openKey(r, p, a, k); }
    long createKey(U r, const S& p, Handle& k) override { return in->createKey(r, p, k); }
    void closeKey(Handle k) override { in->closeKey(k); }
    long deleteKey(U r, const S& p) override { return in->deleteKey(r, p); }
    long queryValue(Handle k, const S& n, std::size_t b, S& d) override {
        ++reads;
        return in->queryValue(k, n, b, d);
    }
    long setValue(Handle k, const S& n, const S& t) override {
        beforeSet(n, t);
        return full ? failure : in->setValue(k, n, t);
    }
    long deleteValue(Handle k, const S& n) override { return in->deleteValue(k, n); }
    long queryInfo(Handle k, KeyInfo& i) override { return in->queryInfo(k, i); }
    long enumKey(Handle k, U i, S& n) override { return in->enumKey(k, i, n); }
    long enumValue(Handle k, U i, S& n) override { return in->enumValue(k, i, n); }
    LocalTime toLocalTime(std::uint64_t t) override { return in->toLocalTime(t); }
    S storeProblem() override { return in->storeProblem(); }
    S changeStamp(U r, const S& p) override { return stamp ? *stamp : in->changeStamp(r, p); }

    std::shared_ptr<RegistryBackend> in;
    bool full = false;
    long failure = kAccessDenied;  // what a write fails with while full
    std::function<void(const S& name, const S& text)> beforeSet = [](const S&, const S&) {};
    int reads = 0;
    std::optional<S> stamp;
};

}  // namespace horalog::testing
