#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>

#include <QFile>
#include <atomic>
#include <cerrno>
#include <cstring>

#include "platform/file_sync.h"

namespace horalog {

namespace {

// Readable by all, writable by the owner alone, whatever the umask: a registration file that
// others may write is one whose records others may forge.
constexpr mode_t kNewFileMode = 0644;

std::atomic<bool> noByteRangeLocks{false};

OpenedFile failed(OpenFound found, int errorNumber) {
    return {found, -1, systemErrorText(errorNumber)};
}

}  // namespace

QString systemErrorText(int errorNumber) {
    char buffer[256] = {};
    // The GNU strerror_r, which may return a static text instead of filling the buffer.
    return QString::fromLocal8Bit(::strerror_r(errorNumber, buffer, sizeof buffer));
}

QString fileErrorText(const QFileDevice& file) {
    // A failing QFile call leaves the system call's errno behind; without one, Qt's text is all
    // there is.
    return errno != 0 ? systemErrorText(errno) : file.errorString();
}

bool syncFileDescriptor(int fd) {
    return ::fsync(fd) == 0;
}

void syncFolder(const QString& folder) {
    const int fd =
        ::open(QFile::encodeName(folder).constData(), O_RDONLY | O_DIRECTORY | O_CLOEXEC);
    if (fd >= 0) {
        ::fsync(fd);
        ::close(fd);
    }
}

OpenedFile openRegularFile(const QString& path, bool forAppend, bool create) {
    const QByteArray name = QFile::encodeName(path);
    const int access = (forAppend ? O_RDWR | O_APPEND : O_RDONLY) | O_CLOEXEC;
    // Looking before opening: some devices act on being opened.
    struct stat status {};
    if (::stat(name.constData(), &status) == 0 && !S_ISREG(status.st_mode)) {
        return {OpenFound::NotRegular, -1, QString()};
    }
    // A file removed between the exclusive create and the open is created again; a dangling
    // symlink stays missing (the exclusive create refuses it, the open finds no target).
    for (int attempt = 0; attempt < 3; ++attempt) {
        if (create) {
            const int fd = ::open(name.constData(), access | O_CREAT | O_EXCL, kNewFileMode);
            if (fd >= 0) {
                return {OpenFound::Created, fd, QString()};
            }
            if (errno != EEXIST) {
                return failed(OpenFound::Failed, errno);
            }
        }
        const int fd = ::open(name.constData(), access | O_NONBLOCK);
        if (fd < 0) {
            const int failure = errno;
            if (failure == EISDIR || failure == ENXIO) {
                return {OpenFound::NotRegular, -1, QString()};
            }
            if (failure == ENOENT && create) {
                continue;
            }
            return failed(failure == ENOENT ? OpenFound::Missing : OpenFound::Failed, failure);
        }
        // Something else may have taken the name since the look.
        if (::fstat(fd, &status) != 0 || !S_ISREG(status.st_mode)) {
            ::close(fd);
            return {OpenFound::NotRegular, -1, QString()};
        }
        ::fcntl(fd, F_SETFL, ::fcntl(fd, F_GETFL) & ~O_NONBLOCK);
        return {OpenFound::Opened, fd, QString()};
    }
    return failed(OpenFound::Missing, ENOENT);
}

std::optional<FileStamp> fileStamp(const QString& path) {
    struct stat st {};
    if (::stat(QFile::encodeName(path).constData(), &st) != 0 || !S_ISREG(st.st_mode)) {
        return std::nullopt;
    }
    return FileStamp{st.st_size, st.st_mtim.tv_sec * 1'000'000'000LL + st.st_mtim.tv_nsec};
}

bool isFileAtPath(int fd, const QString& path) {
    struct stat open {
    }, named{};
    return ::fstat(fd, &open) == 0 && ::stat(QFile::encodeName(path).constData(), &named) == 0 &&
           open.st_dev == named.st_dev && open.st_ino == named.st_ino;
}

Result<LockAttempt> tryLockFile(int fd) {
    if (noByteRangeLocks) {
        return LockAttempt::Unsupported;
    }
    struct flock lock {};
    lock.l_type = F_WRLCK;
    lock.l_whence = SEEK_SET;  // from the start to the end, however far the file grows
#ifdef F_OFD_SETLK
    // A lock of the open file itself: it holds against another open file of the same process
    // too, and closing some other descriptor of the file does not let it go.
    const int command = F_OFD_SETLK;
#else
    const int command = F_SETLK;
#endif
    int result = 0;
    do {
        result = ::fcntl(fd, command, &lock);
    } while (result != 0 && errno == EINTR);
    if (result == 0) {
        return LockAttempt::Taken;
    }
    const int failure = errno;
    switch (failure) {
        case EACCES:
        case EAGAIN:
            return LockAttempt::Busy;
        case ENOLCK:
        case EOPNOTSUPP:
        case EINVAL:
        case ENOSYS:
            return LockAttempt::Unsupported;
        default:
            return Result<LockAttempt>::failed(systemErrorText(failure));
    }
}

void pretendNoByteRangeLocks(bool pretend) {
    noByteRangeLocks = pretend;
}

Result<Linked> linkFile(const QString& from, const QString& to) {
    if (::link(QFile::encodeName(from).constData(), QFile::encodeName(to).constData()) == 0) {
        return Linked::Yes;
    }
    const int failure = errno;
    if (failure == EEXIST) {
        return Result<Linked>::failed(systemErrorText(failure));
    }
    return Linked::NotPossible;
}

}  // namespace horalog
