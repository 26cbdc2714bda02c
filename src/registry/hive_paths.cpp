#include <pwd.h>
#include <unistd.h>

#include <cerrno>
#include <cstdlib>
#include <vector>

#include "registry/hive_file.h"

namespace horalog {

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

}  // namespace horalog
