#include "registry/hive_io.h"

#include <dirent.h>
#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>

#include <cerrno>
#include <climits>
#include <cstring>
#include <string_view>

#include "registry/registry_backend.h"

namespace horalog::hive_io {

std::string folderOf(const std::string& file) {
    const auto cut = file.rfind('/');
    return cut == std::string::npos ? std::string(".") : file.substr(0, cut == 0 ? 1 : cut);
}

std::string errorText(int error) {
    return std::strerror(error);
}

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

// Only names mkstemp could have made are taken, and never one of lowercase letters alone, which is
// more likely a copy the user made (<store>.backup).
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
}  // namespace horalog::hive_io
