#include <QFileInfo>
#include <cerrno>

#include "journal/journal_io.h"
#include "lockfile/lock_file.h"
#include "platform/file_sync.h"

namespace horalog {

using namespace journal_io;

FileOutcome placeCopy(const QString& from, const QString& to) {
    // A symlink is copied as the file it names: linking the link itself would leave a relative
    // one pointing nowhere from its new folder.
    QFile source;
    if (const FileOutcome opened = openFile(source, from, false, false); !opened.ok()) {
        return opened;
    }
    const Result<Linked> linked = linkFile(QFileInfo(from).canonicalFilePath(), to);
    if (!linked.ok()) {
        return failure(FileProblem::Failed, linked.error());
    }
    if (*linked == Linked::Yes) {
        syncFolder(QFileInfo(to).absolutePath());
        return {};
    }
    QFile target(to);
    if (!target.open(QIODevice::WriteOnly | QIODevice::NewOnly | QIODevice::Unbuffered,
                     kNewFilePermissions)) {
        return failure(FileProblem::Failed, fileErrorText(target));
    }
    FileOutcome outcome;
    while (outcome.ok() && !source.atEnd()) {
        const QByteArray chunk = source.read(kChunk);
        if (chunk.isEmpty() && source.error() != QFileDevice::NoError) {
            outcome = failure(FileProblem::Failed, fileErrorText(source));
        } else if (target.write(chunk) != chunk.size()) {
            outcome = failure(FileProblem::Failed, fileErrorText(target));
        }
    }
    if (outcome.ok() && !syncFileDescriptor(target.handle())) {
        outcome = failure(FileProblem::Failed, systemErrorText(errno));
    }
    target.close();
    if (!outcome.ok()) {
        target.remove();
        return outcome;
    }
    syncFolder(QFileInfo(to).absolutePath());
    return {};
}

void removeFile(const QString& path) {
    if (QFile::remove(path)) {
        syncFolder(QFileInfo(path).absolutePath());
    }
}

namespace {

// Removes a name of the held file, or of a link to it: Windows removes no name of an open file,
// so the file is let go of first there.
bool removeHeld(QFile& held, const QString& path) {
    if (!QFile::remove(path)) {
        held.close();
        if (!QFile::remove(path)) {
            return false;
        }
    }
    syncFolder(QFileInfo(path).absolutePath());
    return true;
}

}  // namespace

FileOutcome moveRegistrationFile(const QString& from, const QString& to,
                                 const std::function<bool()>& storeNewPath,
                                 const AppendOptions& options) {
    const QString named = QFileInfo(from).absoluteFilePath();
    const QString target = QFileInfo(from).canonicalFilePath();
    const QString destination = QFileInfo(to).absoluteFilePath();
    if (named == destination || target == destination) {
        return storeNewPath() ? FileOutcome() : failure(FileProblem::Failed, {});
    }
    // Another copy appending meanwhile would write behind the copy into the name that goes.
    QFile held;
    if (const FileOutcome opened = openFile(held, from, true, false); !opened.ok()) {
        return opened;
    }
    std::optional<LockFile> beside;
    if (const FileOutcome locked = takeLock(held, from, options, beside); !locked.ok()) {
        return locked;
    }
    if (!isFileAtPath(held.handle(), from)) {
        return failure(FileProblem::Missing, systemErrorText(ENOENT));  // moved by another copy
    }
    if (const FileOutcome copied = placeCopy(from, to); !copied.ok()) {
        return copied;
    }
    if (!storeNewPath()) {
        removeHeld(held, to);  // on one volume, a link to the held file
        return failure(FileProblem::Failed, {});
    }
    // The records are safe under the new name; an old name left behind is only a spare copy.
    removeHeld(held, target);
    if (named != target) {
        removeFile(named);  // the symlink, which now points nowhere
    }
    return {};
}

}  // namespace horalog
