#include <QFileInfo>
#include <cerrno>

#include "journal/journal_io.h"
#include "journal/record.h"
#include "journal/windows1252.h"
#include "lockfile/lock_file.h"
#include "platform/file_sync.h"

namespace horalog {

namespace {

using namespace journal_io;

// Whether the file's last byte ends a line; true for an empty or unreadable file.
bool endsWithLineEnd(QFile& file) {
    if (file.size() <= 0 || !file.seek(file.size() - 1)) {
        return true;
    }
    char last = '\n';
    return !file.getChar(&last) || last == '\n' || last == '\r';
}

// The lines' bytes, after a line end where the file's last line lacks one.
FileOutcome writeLines(QFile& file, const QStringList& lines) {
    QByteArray bytes;
    if (!endsWithLineEnd(file)) {
        bytes = "\r\n";
    }
    for (const QString& line : lines) {
        bytes += toWindows1252(line);
        bytes += "\r\n";
    }
    const qint64 before = file.size();
    QString error;
    if (file.write(bytes) != bytes.size()) {
        error = fileErrorText(file);
    } else if (!syncFileDescriptor(file.handle())) {
        error = systemErrorText(errno);
    }
    if (error.isEmpty()) {
        return {};
    }
    // A full disk or a size limit can stop the write part-way: the half record would be read
    // as the last figures at the next start, so the file goes back to what it was.
    file.resize(before);
    syncFileDescriptor(file.handle());
    return failure(FileProblem::Failed, error);
}

// Opens the file (a missing one is created unless it must exist), takes the lock, and writes
// the lines that `build` makes from the file's last record as it is now. Whether this call
// created the file is known from the exclusive create itself, never from a look beforehand; a
// file it created that is still empty under the lock goes again.
FileOutcome appendUnderLock(
    const QString& path, const AppendOptions& options,
    const std::function<FileOutcome(const std::optional<QString>&, QStringList&)>& build) {
    // A copy that created the file and removed it again (its write failed) leaves the others
    // holding a file without a name; they open it anew. Rare, so a few rounds suffice.
    for (int round = 0; round < 10; ++round) {
        QFile file;
        bool created = false;
        if (const FileOutcome opened = openFile(file, path, true, !options.mustExist, &created);
            !opened.ok()) {
            return opened;
        }
        std::optional<LockFile> beside;
        if (const FileOutcome locked = takeLock(file, path, options, beside); !locked.ok()) {
            return locked;
        }
        if (!isFileAtPath(file.handle(), path)) {
            continue;
        }
        // Another copy of the program (on this machine, or another over a network share)
        // appends only while it holds the lock, and so does this one: neither builds on stale
        // figures.
        FileOutcome outcome;
        QStringList lines;
        if (const auto last = lastRecordIn(file); !last.ok()) {
            outcome = FileOutcome::failed(last.error());
        } else if (outcome = build(*last, lines); outcome.ok() && !lines.isEmpty()) {
            outcome = writeLines(file, lines);
        }
        if (created && file.size() == 0) {
            // Under the lock, so no other copy writes into it; Windows removes no open file.
            if (!QFile::remove(path)) {
                file.close();
                QFile::remove(path);
            }
            syncFolder(QFileInfo(path).absolutePath());
        } else if (created) {
            syncFolder(QFileInfo(path).absolutePath());
        }
        return outcome;
    }
    return failure(FileProblem::Missing, systemErrorText(ENOENT));
}

}  // namespace

LockedAppend appendRecords(const QString& path, const std::optional<QString>& known,
                           const Figures& held,
                           const std::function<QStringList(const Figures&)>& build,
                           const AppendOptions& options) {
    Appended result;
    const FileOutcome outcome =
        appendUnderLock(path, options, [&](const std::optional<QString>& last, QStringList& lines) {
            Figures figures = held;
            result.last = last;
            if (last && last != known) {
                // As at a start: the file's last record gives the figures; a file without one
                // leaves them as they were.
                const auto read = figuresFromLine(*last);
                if (!read.ok()) {
                    return failure(FileProblem::Damaged, read.error());
                }
                figures = read->value_or(figures);
                result.reread = figures;
            }
            lines = build(figures);
            if (!lines.isEmpty()) {
                result.last = lines.constLast();
            }
            return FileOutcome{};
        });
    if (!outcome.ok()) {
        return outcome.failure<Appended>();
    }
    return result;
}

FileResult<Created> createFile(const QString& path, const QStringList& lines,
                               const AppendOptions& options) {
    Created created = Created::Here;
    const FileOutcome outcome =
        appendUnderLock(path, options, [&](const std::optional<QString>& last, QStringList& out) {
            if (last) {
                created = Created::Elsewhere;
            } else {
                out = lines;
            }
            return FileOutcome{};
        });
    if (!outcome.ok()) {
        return outcome.failure<Created>();
    }
    return created;
}

}  // namespace horalog
