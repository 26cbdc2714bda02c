#include <fcntl.h>
#include <io.h>
#include <share.h>
#include <sys/stat.h>
#include <windows.h>

#include <string.h>

#include <QtGlobal>
#include <atomic>
#include <cerrno>
#include <cstdlib>
#include <cstring>

#include "platform/file_sync.h"

namespace horalog {

namespace {

std::atomic<bool> noByteRangeLocks{false};

bool isRegular(unsigned short mode) {
    return (mode & _S_IFMT) == _S_IFREG;
}

// The text of the Windows error behind the C library's last failure, in the user's language, as
// Qt's own file errors are: the C library's texts are English only.
QString windowsErrorText() {
    return _doserrno != 0 ? qt_error_string(static_cast<int>(_doserrno))
                          : QString::fromLocal8Bit(std::strerror(errno));
}

}  // namespace

QString systemErrorText(int errorNumber) {
    wchar_t buffer[256] = {};
    ::_wcserror_s(buffer, 256, errorNumber);
    return QString::fromWCharArray(buffer);
}

// Qt asks Windows for the text of its own error code, in the user's language.
QString fileErrorText(const QFileDevice& file) {
    return file.errorString();
}

bool syncFileDescriptor(int fd) {
    return ::_commit(fd) == 0;
}

void syncFolder(const QString&) {}

OpenedFile openRegularFile(const QString& path, bool forAppend, bool create) {
    const wchar_t* name = reinterpret_cast<const wchar_t*>(path.utf16());
    const int access = (forAppend ? _O_RDWR | _O_APPEND : _O_RDONLY) | _O_BINARY | _O_NOINHERIT;
    struct _stat64 status {};
    if (::_wstat64(name, &status) == 0 && !isRegular(status.st_mode)) {
        return {OpenFound::NotRegular, -1, QString()};
    }
    for (int attempt = 0; attempt < 3; ++attempt) {
        _doserrno = 0;
        if (create) {
            const int fd =
                ::_wsopen(name, access | _O_CREAT | _O_EXCL, _SH_DENYNO, _S_IREAD | _S_IWRITE);
            if (fd >= 0) {
                return {OpenFound::Created, fd, QString()};
            }
            if (errno != EEXIST) {
                return {OpenFound::Failed, -1, windowsErrorText()};
            }
        }
        _doserrno = 0;
        const int fd = ::_wsopen(name, access, _SH_DENYNO);
        if (fd < 0) {
            const int failure = errno;
            if (failure == ENOENT && create) {
                continue;
            }
            return {failure == ENOENT ? OpenFound::Missing : OpenFound::Failed, -1,
                    windowsErrorText()};
        }
        if (::_fstat64(fd, &status) != 0 || !isRegular(status.st_mode)) {
            ::_close(fd);
            return {OpenFound::NotRegular, -1, QString()};
        }
        return {OpenFound::Opened, fd, QString()};
    }
    return {OpenFound::Missing, -1, systemErrorText(ENOENT)};
}

// An open file cannot be removed or replaced on Windows.
std::optional<FileStamp> fileStamp(const QString& path) {
    WIN32_FILE_ATTRIBUTE_DATA data{};
    if (!::GetFileAttributesExW(reinterpret_cast<LPCWSTR>(path.utf16()), GetFileExInfoStandard,
                                &data) ||
        (data.dwFileAttributes & FILE_ATTRIBUTE_DIRECTORY) != 0) {
        return std::nullopt;
    }
    const auto join = [](DWORD high, DWORD low) {
        return static_cast<qint64>((static_cast<quint64>(high) << 32) | low);
    };
    return FileStamp{
        join(data.nFileSizeHigh, data.nFileSizeLow),
        join(data.ftLastWriteTime.dwHighDateTime, data.ftLastWriteTime.dwLowDateTime) * 100};
}

bool isFileAtPath(int, const QString&) {
    return true;
}

Result<LockAttempt> tryLockFile(int fd) {
    if (noByteRangeLocks) {
        return LockAttempt::Unsupported;
    }
    const HANDLE file = reinterpret_cast<HANDLE>(::_get_osfhandle(fd));
    OVERLAPPED whole{};
    if (::LockFileEx(file, LOCKFILE_EXCLUSIVE_LOCK | LOCKFILE_FAIL_IMMEDIATELY, 0, MAXDWORD,
                     MAXDWORD, &whole)) {
        return LockAttempt::Taken;
    }
    const DWORD failure = ::GetLastError();
    switch (failure) {
        case ERROR_LOCK_VIOLATION:
            return LockAttempt::Busy;
        case ERROR_NOT_SUPPORTED:
        case ERROR_INVALID_FUNCTION:
            return LockAttempt::Unsupported;
        default:
            return Result<LockAttempt>::failed(qt_error_string(static_cast<int>(failure)));
    }
}

void pretendNoByteRangeLocks(bool pretend) {
    noByteRangeLocks = pretend;
}

// Not told on Windows: a lock file left there is taken over by its age alone.
Result<Linked> linkFile(const QString& from, const QString& to) {
    if (::CreateHardLinkW(reinterpret_cast<LPCWSTR>(to.utf16()),
                          reinterpret_cast<LPCWSTR>(from.utf16()), nullptr)) {
        return Linked::Yes;
    }
    const DWORD code = ::GetLastError();
    if (code == ERROR_ALREADY_EXISTS || code == ERROR_FILE_EXISTS) {
        return Result<Linked>::failed(qt_error_string(static_cast<int>(code)));
    }
    return Linked::NotPossible;
}

}  // namespace horalog
