#include "settings/file_location.h"

#include <QFileInfo>

#include "platform/platform_paths.h"

namespace horalog {

QString splitFilename(const QString& filename, bool pathFile) {
    const qsizetype cut = filename.lastIndexOf(pathSeparator());
    if (cut < 0) {
        return pathFile ? QStringLiteral(".") : filename;
    }
    return pathFile ? filename.left(cut) : filename.mid(cut + 1);
}

bool folderOfFileExists(const QString& filename) {
    return !filename.isEmpty() && QFileInfo(QFileInfo(filename).absolutePath()).isDir();
}

FileOutcome moveRegistrationFile(const QString& from, const QString& to,
                                 const std::function<void()>& storeNewPath) {
    if (QFileInfo(from).absoluteFilePath() == QFileInfo(to).absoluteFilePath()) {
        storeNewPath();
        return {};
    }
    if (const FileOutcome copied = placeCopy(from, to); !copied.ok) {
        return copied;
    }
    try {
        storeNewPath();
    } catch (...) {
        removeFile(to);
        throw;
    }
    // The records are safe under the new name; an old name left behind is only a spare copy.
    removeFile(from);
    return {};
}

}  // namespace horalog
