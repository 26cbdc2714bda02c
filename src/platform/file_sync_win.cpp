#include <io.h>
#include <windows.h>

#include "platform/file_sync.h"

namespace horalog {

bool syncFileDescriptor(int fd) {
    return ::_commit(fd) == 0;
}

void syncFolder(const QString&) {}

LinkResult linkFile(const QString& from, const QString& to, QString& error) {
    if (::CreateHardLinkW(reinterpret_cast<LPCWSTR>(to.utf16()),
                          reinterpret_cast<LPCWSTR>(from.utf16()), nullptr)) {
        return LinkResult::Linked;
    }
    const DWORD code = ::GetLastError();
    error = QStringLiteral("Windows-fejl %1").arg(code);
    return code == ERROR_ALREADY_EXISTS || code == ERROR_FILE_EXISTS ? LinkResult::TargetExists
                                                                     : LinkResult::NotPossible;
}

}  // namespace horalog
