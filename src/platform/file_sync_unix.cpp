#include <fcntl.h>
#include <unistd.h>

#include <QFile>
#include <cerrno>
#include <cstring>

#include "platform/file_sync.h"

namespace horalog {

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

LinkResult linkFile(const QString& from, const QString& to, QString& error) {
    if (::link(QFile::encodeName(from).constData(), QFile::encodeName(to).constData()) == 0) {
        return LinkResult::Linked;
    }
    error = QString::fromLocal8Bit(std::strerror(errno));
    return errno == EEXIST ? LinkResult::TargetExists : LinkResult::NotPossible;
}

}  // namespace horalog
