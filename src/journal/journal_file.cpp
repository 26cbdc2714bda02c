#include "journal/journal_file.h"

#include <QFile>
#include <QFileInfo>
#include <cerrno>

#include "journal/record.h"
#include "journal/windows1252.h"
#include "platform/file_sync.h"

namespace horalog {

namespace {

constexpr qint64 kChunk = 64 * 1024;

// The system's reason for the last failed call, in the user's language.
QString systemError() {
    return systemErrorText(errno);
}

// Whether the file's last byte ends a line; true for an empty or unreadable file.
bool endsWithLineEnd(QFile& file) {
    if (file.isSequential() || file.size() <= 0 || !file.seek(file.size() - 1)) {
        return true;
    }
    char last = '\n';
    return !file.getChar(&last) || last == '\n' || last == '\r';
}

// The line between begin and end when it holds at least seven fields.
std::optional<QString> recordIn(const QByteArray& buffer, qsizetype begin, qsizetype end) {
    const QByteArray line = buffer.mid(begin, end - begin);
    if (line.count(';') < 6) {
        return std::nullopt;
    }
    return fromWindows1252(line);
}

// The last line end before `end`: LF, CR LF, or a CR alone (an old editor's).
qsizetype lineEndBefore(const QByteArray& buffer, qsizetype end) {
    for (qsizetype i = end - 1; i >= 0; --i) {
        if (buffer[i] == '\n' || buffer[i] == '\r') {
            return i;
        }
    }
    return -1;
}

LastRecord lastRecordIn(QFile& file) {
    LastRecord result;
    qint64 position = file.size();
    QByteArray carry;  // the start of a line whose beginning lies further back
    for (;;) {
        QByteArray buffer;
        if (position > 0) {
            const qint64 length = std::min(kChunk, position);
            position -= length;
            if (!file.seek(position)) {
                result.outcome = {false, fileErrorText(file)};
                return result;
            }
            buffer = file.read(length);
            if (buffer.size() != length) {
                result.outcome = {false, fileErrorText(file)};
                return result;
            }
        }
        buffer.append(carry);
        qsizetype end = buffer.size();
        while (end > 0) {
            const qsizetype lineEnd = lineEndBefore(buffer, end);
            if (lineEnd < 0) {
                break;
            }
            if (auto line = recordIn(buffer, lineEnd + 1, end)) {
                result.line = line;
                return result;
            }
            end = lineEnd;
        }
        carry = buffer.left(end);
        if (position == 0) {
            result.line = recordIn(carry, 0, carry.size());
            break;
        }
    }
    return result;
}

// The lines' bytes, after a line end where the file's last line lacks one.
FileOutcome writeLines(QFile& file, const QStringList& lines, bool existed) {
    QByteArray bytes;
    if (existed && !endsWithLineEnd(file)) {
        bytes = "\r\n";
    }
    for (const QString& line : lines) {
        bytes += toWindows1252(line);
        bytes += "\r\n";
    }
    const qint64 before = file.isSequential() ? 0 : file.size();
    QString error;
    if (file.write(bytes) != bytes.size()) {
        error = fileErrorText(file);
    } else if (!file.isSequential() && !syncFileDescriptor(file.handle())) {
        error = systemError();
    }
    if (!error.isEmpty() && !file.isSequential()) {
        // A full disk or a size limit can stop the write part-way: the half record would be read
        // as the last figures at the next start, so the file goes back to what it was.
        file.resize(before);
        syncFileDescriptor(file.handle());
    }
    return {error.isEmpty(), error};
}

}  // namespace

bool registrationFileExists(const QString& path) {
    return !path.isEmpty() && QFileInfo(path).isFile();
}

LastRecord readLastRecordLine(const QString& path) {
    QFile file(path);
    if (!file.open(QIODevice::ReadOnly)) {
        LastRecord result;
        result.outcome = {false, fileErrorText(file)};
        return result;
    }
    return lastRecordIn(file);
}

namespace {

// Opens the file (a missing one is created), takes the lock, and writes the lines that `build`
// makes from the file's last record as it is now; a new file that holds nothing goes again.
FileOutcome appendUnderLock(
    const QString& path, int lockWaitMs,
    const std::function<FileOutcome(const std::optional<QString>&, QStringList&)>& build) {
    const bool existed = QFileInfo::exists(path);
    QFile file(path);
    if (!file.open(QIODevice::ReadWrite | QIODevice::Append | QIODevice::Unbuffered)) {
        return {false, fileErrorText(file)};
    }
    // Another copy of the program (on this machine, or another over a network share) appends
    // only while it holds the lock, and so does this one: neither builds on stale figures.
    FileOutcome outcome;
    QString error;
    QStringList lines;
    if (!file.isSequential() && !lockFile(file.handle(), lockWaitMs, error)) {
        outcome = {false, error};
    } else if (const LastRecord last = file.isSequential() ? LastRecord{} : lastRecordIn(file);
               !last.outcome.ok) {
        outcome = last.outcome;
    } else if (outcome = build(last.line, lines); outcome.ok && !lines.isEmpty()) {
        outcome = writeLines(file, lines, existed);
    }
    file.close();
    if (!existed && (!outcome.ok || lines.isEmpty())) {
        removeFile(path);
    } else if (!existed) {
        syncFolder(QFileInfo(path).absolutePath());
    }
    return outcome;
}

}  // namespace

LockedAppend appendRecords(const QString& path, const std::optional<QString>& known,
                           const Figures& held,
                           const std::function<QStringList(const Figures&)>& build,
                           int lockWaitMs) {
    LockedAppend result;
    result.outcome = appendUnderLock(
        path, lockWaitMs, [&](const std::optional<QString>& last, QStringList& lines) {
            Figures figures = held;
            result.last = last;
            if (last != known) {
                // As at a start: the file's last record gives the figures; a file without one
                // leaves them as they were.
                if (last && figuresFromLine(*last, figures) == LineReading::OutOfRange) {
                    return FileOutcome{false, lastRecordTooLarge(*last)};
                }
                result.reread = figures;
            }
            lines = build(figures);
            if (!lines.isEmpty()) {
                result.last = lines.constLast();
            }
            return FileOutcome{};
        });
    return result;
}

FileOutcome createFile(const QString& path, const QStringList& lines, bool& createdElsewhere) {
    createdElsewhere = false;
    return appendUnderLock(path, kLockWaitMs,
                           [&](const std::optional<QString>& last, QStringList& out) {
                               createdElsewhere = last.has_value();
                               if (!createdElsewhere) {
                                   out = lines;
                               }
                               return FileOutcome{};
                           });
}

FileOutcome appendLines(const QString& path, const QStringList& lines) {
    return appendUnderLock(path, kLockWaitMs,
                           [&lines](const std::optional<QString>&, QStringList& out) {
                               out = lines;
                               return FileOutcome{};
                           });
}

FileOutcome placeCopy(const QString& from, const QString& to) {
    QString error;
    switch (linkFile(from, to, error)) {
        case LinkResult::Linked:
            syncFolder(QFileInfo(to).absolutePath());
            return {};
        case LinkResult::TargetExists:
            return {false, error};
        case LinkResult::NotPossible:
            break;
    }
    QFile source(from);
    if (!source.open(QIODevice::ReadOnly)) {
        return {false, fileErrorText(source)};
    }
    QFile target(to);
    if (!target.open(QIODevice::WriteOnly | QIODevice::NewOnly | QIODevice::Unbuffered)) {
        return {false, fileErrorText(target)};
    }
    FileOutcome outcome;
    while (outcome.ok && !source.atEnd()) {
        const QByteArray chunk = source.read(kChunk);
        if (chunk.isEmpty() && source.error() != QFileDevice::NoError) {
            outcome = {false, fileErrorText(source)};
        } else if (target.write(chunk) != chunk.size()) {
            outcome = {false, fileErrorText(target)};
        }
    }
    if (outcome.ok && !syncFileDescriptor(target.handle())) {
        outcome = {false, systemError()};
    }
    target.close();
    if (!outcome.ok) {
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
