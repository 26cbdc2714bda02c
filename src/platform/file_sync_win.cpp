#include <io.h>
#include <windows.h>

#include <string.h>

#include <QElapsedTimer>
#include <QtGlobal>

#include "platform/file_sync.h"

namespace horalog {

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

bool lockFile(int fd, int waitMs, QString& error) {
    const HANDLE file = reinterpret_cast<HANDLE>(::_get_osfhandle(fd));
    QElapsedTimer waited;
    waited.start();
    for (;;) {
        OVERLAPPED whole{};
        if (::LockFileEx(file, LOCKFILE_EXCLUSIVE_LOCK | LOCKFILE_FAIL_IMMEDIATELY, 0, MAXDWORD,
                         MAXDWORD, &whole)) {
            return true;
        }
        const DWORD failure = ::GetLastError();
        if (failure != ERROR_LOCK_VIOLATION || waited.elapsed() >= waitMs) {
            error = qt_error_string(static_cast<int>(failure));
            return false;
        }
        ::Sleep(20);
    }
}

LinkResult linkFile(const QString& from, const QString& to, QString& error) {
    if (::CreateHardLinkW(reinterpret_cast<LPCWSTR>(to.utf16()),
                          reinterpret_cast<LPCWSTR>(from.utf16()), nullptr)) {
        return LinkResult::Linked;
    }
    const DWORD code = ::GetLastError();
    error = qt_error_string(static_cast<int>(code));
    return code == ERROR_ALREADY_EXISTS || code == ERROR_FILE_EXISTS ? LinkResult::TargetExists
                                                                     : LinkResult::NotPossible;
}

}  // namespace horalog
