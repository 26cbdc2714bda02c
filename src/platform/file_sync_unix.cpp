#include <fcntl.h>
#include <unistd.h>

#include <QElapsedTimer>
#include <QFile>
#include <cerrno>
#include <cstring>

#include "platform/file_sync.h"

namespace horalog {

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

bool lockFile(int fd, int waitMs, QString& error) {
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
    QElapsedTimer waited;
    waited.start();
    for (;;) {
        if (::fcntl(fd, command, &lock) == 0) {
            return true;
        }
        const int failure = errno;
        if ((failure != EACCES && failure != EAGAIN && failure != EINTR) ||
            waited.elapsed() >= waitMs) {
            error = systemErrorText(failure);
            return false;
        }
        ::usleep(20000);
    }
}

LinkResult linkFile(const QString& from, const QString& to, QString& error) {
    if (::link(QFile::encodeName(from).constData(), QFile::encodeName(to).constData()) == 0) {
        return LinkResult::Linked;
    }
    error = systemErrorText(errno);
    return errno == EEXIST ? LinkResult::TargetExists : LinkResult::NotPossible;
}

}  // namespace horalog
