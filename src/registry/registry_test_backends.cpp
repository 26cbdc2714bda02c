#include <functional>

#include "registry/registry.h"
#include "registry/registry_test_world.h"

#ifdef _WIN32
namespace horalog::testing {
namespace {
void deleteTree(CRegistry& reg, std::uint32_t root, const std::string& path) {
    if (!reg.OpenKey(root, path, false, true)) {
        return;
    }
    std::vector<std::string> children;
    for (;;) {
        std::string name = reg.ReadSubKey();
        name.resize(name.find('\0'));
        if (name.empty()) {
            break;
        }
        children.push_back(name);
    }
    reg.CloseKey();
    for (const auto& child : children) {
        deleteTree(reg, root, path + "\\" + child);
    }
    reg.OpenKey(root, path, false, true);
    reg.DeleteKey();
}

class Win32World : public RegistryWorld {
public:
    Win32World() : backend_(makeSystemRegistryBackend()) {
        CRegistry reg(backend_);
        deleteTree(reg, kHKeyCurrentUser, "Software\\Kvistborg");
        deleteTree(reg, kHKeyLocalMachine, "Software\\Kvistborg");
    }
    std::shared_ptr<RegistryBackend> backend() override { return backend_; }
    void seedMachineKey(const std::vector<std::pair<std::string, std::string>>& values) override {
        CRegistry reg(backend_);
        reg.OpenKey(kHKeyLocalMachine, kSettingsPath, true, true);
        for (const auto& [n, v] : values) {
            reg.WriteValue(n, v);
        }
    }
    std::string name() const override { return "win32"; }

private:
    std::shared_ptr<RegistryBackend> backend_;
};
}  // namespace
std::unique_ptr<RegistryWorld> makeRegistryWorld() {
    return std::make_unique<Win32World>();
}
}  // namespace horalog::testing

#else
#include <stdlib.h>
#include <unistd.h>

#include "registry/hive_file.h"

namespace horalog::testing {
namespace {
class FileWorld : public RegistryWorld {
public:
    FileWorld() {
        char pattern[] = "/tmp/horalog-registry-XXXXXX";
        folder_ = ::mkdtemp(pattern);
        paths_ = {folder_ + "/user/HKEY_CURRENT_USER.reg",
                  folder_ + "/machine/HKEY_LOCAL_MACHINE.reg"};
        backend_ = std::make_shared<HiveFileBackend>(paths_);
    }
    ~FileWorld() override {
        const std::string command = "rm -rf '" + folder_ + "'";
        if (std::system(command.c_str()) != 0) {
            // A leftover temporary folder is harmless.
        }
    }
    std::shared_ptr<RegistryBackend> backend() override { return backend_; }
    void seedMachineKey(const std::vector<std::pair<std::string, std::string>>& values) override {
        CRegistry reg(std::make_shared<HiveFileBackend>(paths_, true));
        reg.OpenKey(kHKeyLocalMachine, kSettingsPath, true, true);
        for (const auto& [n, v] : values) {
            reg.WriteValue(n, v);
        }
    }
    std::string name() const override { return "file"; }

private:
    std::string folder_;
    HivePaths paths_;
    std::shared_ptr<RegistryBackend> backend_;
};
}  // namespace
std::unique_ptr<RegistryWorld> makeRegistryWorld() {
    return std::make_unique<FileWorld>();
}
}  // namespace horalog::testing
#endif
