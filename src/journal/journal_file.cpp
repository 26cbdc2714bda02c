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
bool endsWithLineEnd(const QString& path) {
    QFile file(path);
    if (!file.open(QIODevice::ReadOnly) || file.isSequential() || file.size() <= 0) {
        return true;
    }
    if (!file.seek(file.size() - 1)) {
        return true;
    }
    char last = '\n';
    return !file.getChar(&last) || last == '\n';
}

// The line between begin and end when it holds at least seven fields.
std::optional<QString> recordIn(const QByteArray& buffer, qsizetype begin, qsizetype end) {
    QByteArray line = buffer.mid(begin, end - begin);
    if (line.endsWith('\r')) {
        line.chop(1);
    }
    if (line.count(';') < 6) {
        return std::nullopt;
    }
    return fromWindows1252(line);
}

}  // namespace

bool registrationFileExists(const QString& path) {
    return !path.isEmpty() && QFileInfo(path).isFile();
}

LastRecord readLastRecordLine(const QString& path) {
    LastRecord result;
    QFile file(path);
    if (!file.open(QIODevice::ReadOnly)) {
        result.outcome = {false, fileErrorText(file)};
        return result;
    }
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
            const qsizetype nl = buffer.lastIndexOf('\n', end - 1);
            if (nl < 0) {
                break;
            }
            if (auto line = recordIn(buffer, nl + 1, end)) {
                result.line = line;
                return result;
            }
            end = nl;
        }
        carry = buffer.left(end);
        if (position == 0) {
            result.line = recordIn(carry, 0, carry.size());
            break;
        }
    }
    return result;
}

FileOutcome appendLines(const QString& path, const QStringList& lines) {
    const bool existed = QFileInfo::exists(path);
    QByteArray bytes;
    if (existed && !endsWithLineEnd(path)) {
        bytes = "\r\n";
    }
    for (const QString& line : lines) {
        bytes += toWindows1252(line);
        bytes += "\r\n";
    }
    QFile file(path);
    if (!file.open(QIODevice::WriteOnly | QIODevice::Append | QIODevice::Unbuffered)) {
        return {false, fileErrorText(file)};
    }
    const qint64 before = file.isSequential() ? 0 : file.size();
    QString error;
    if (file.write(bytes) != bytes.size()) {
        error = fileErrorText(file);
    } else if (!file.isSequential() && !syncFileDescriptor(file.handle())) {
        error = systemError();
    }
    if (!error.isEmpty()) {
        // A full disk or a size limit can stop the write part-way: the half record would be read
        // as the last figures at the next start, so the file goes back to what it was.
        if (!file.isSequential()) {
            file.resize(before);
            syncFileDescriptor(file.handle());
        }
        file.close();
        if (!existed) {
            removeFile(path);
        }
        return {false, error};
    }
    file.close();
    if (!existed) {
        syncFolder(QFileInfo(path).absolutePath());
    }
    return {};
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
