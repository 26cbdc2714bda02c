#pragma once

#ifdef _WIN32
#include <io.h>
#else
#include <unistd.h>
#endif

namespace horalog {

// Forces written data of an open file descriptor to the disk.
inline bool syncFileDescriptor(int fd) {
#ifdef _WIN32
    return ::_commit(fd) == 0;
#else
    return ::fsync(fd) == 0;
#endif
}

}  // namespace horalog

#ifndef _WIN32
#include <fcntl.h>
#endif
#include <QByteArray>

namespace horalog {

// Makes a newly created directory entry durable; Windows needs nothing.
inline void syncFolder([[maybe_unused]] const QByteArray& folder) {
#ifndef _WIN32
    const int fd = ::open(folder.constData(), O_RDONLY | O_DIRECTORY | O_CLOEXEC);
    if (fd >= 0) {
        ::fsync(fd);
        ::close(fd);
    }
#endif
}

}  // namespace horalog
