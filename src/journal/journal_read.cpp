#include <QFileInfo>
#include <algorithm>

#include "journal/journal_io.h"
#include "journal/windows1252.h"
#include "platform/file_sync.h"

namespace horalog {

namespace journal_io {

// Opens the regular file at the path, never blocking on anything else there.
FileOutcome openFile(QFile& file, const QString& path, bool forAppend, bool create, bool* created) {
    const OpenedFile opened = openRegularFile(path, forAppend, create);
    switch (opened.found) {
        case OpenFound::Missing:
            return failure(FileProblem::Missing, opened.error);
        case OpenFound::NotRegular:
            return failure(FileProblem::NotRegular, notRegularText());
        case OpenFound::Failed:
            return failure(FileProblem::Failed, opened.error);
        case OpenFound::Opened:
        case OpenFound::Created:
            break;
    }
    if (created != nullptr) {
        *created = opened.found == OpenFound::Created;
    }
    // The descriptor appends by itself; Qt's append mode would only seek.
    const QIODevice::OpenMode mode =
        forAppend ? QIODevice::ReadWrite | QIODevice::Unbuffered : QIODevice::ReadOnly;
    if (!file.open(opened.fd, mode, QFileDevice::AutoCloseHandle)) {
        return failure(FileProblem::Failed, file.errorString());
    }
    return {};
}

namespace {

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

}  // namespace

// Only the start of one line is carried from chunk to chunk, and never more than kLongestLine of
// it, so a tail without line ends costs no more than a record.
FileResult<std::optional<QString>> lastRecordIn(QFile& file) {
    using LastLine = FileResult<std::optional<QString>>;
    qint64 position = file.size();
    QByteArray buffer;  // the file from `position` to the end of the line not yet looked at
    for (;;) {
        qsizetype end = buffer.size();
        for (qsizetype lineEnd = lineEndBefore(buffer, end); lineEnd >= 0;
             lineEnd = lineEndBefore(buffer, end)) {
            if (end - lineEnd - 1 > kLongestLine) {
                return LastLine::failed({FileProblem::Damaged, damagedText()});
            }
            if (auto line = recordIn(buffer, lineEnd + 1, end)) {
                return line;
            }
            end = lineEnd;
        }
        if (end > kLongestLine) {
            return LastLine::failed({FileProblem::Damaged, damagedText()});
        }
        if (position == 0) {
            return recordIn(buffer, 0, end);
        }
        const qint64 length = std::min(kChunk, position);
        position -= length;
        QByteArray chunk;
        if (file.seek(position)) {
            chunk = file.read(length);
        }
        if (chunk.size() != length) {
            return LastLine::failed({FileProblem::Failed, fileErrorText(file)});
        }
        buffer = chunk + buffer.left(end);
    }
}

}  // namespace journal_io

using namespace journal_io;

QString notRegularText() {
    return QStringLiteral("Stien er ikke en almindelig fil (en mappe, en FIFO eller en enhed).");
}

QString damagedText() {
    return QStringLiteral(
        "Filens sidste linje er længere end 64 KB uden linjeskift; filen er beskadiget.");
}

bool registrationFileExists(const QString& path) {
    return registrationPathKind(path) == PathKind::RegularFile;
}

PathKind registrationPathKind(const QString& path) {
    const QFileInfo info(path);
    if (path.isEmpty() || !info.exists()) {
        return PathKind::Missing;
    }
    return info.isFile() ? PathKind::RegularFile : PathKind::NotRegular;
}

FileResult<std::optional<QString>> readLastRecordLine(const QString& path) {
    QFile file;
    if (const FileOutcome opened = openFile(file, path, false, false); !opened.ok()) {
        return FileResult<std::optional<QString>>::failed(opened.error());
    }
    return lastRecordIn(file);
}

FileResult<QStringList> readRecordLinesSince(const QString& path, qint64 offset) {
    QFile file;
    if (const FileOutcome opened = openFile(file, path, false, false); !opened.ok()) {
        return FileResult<QStringList>::failed(opened.error());
    }
    const qint64 from = std::max({offset, file.size() - kLongestTail, qint64(0)});
    if (from >= file.size() || !file.seek(from)) {
        return QStringList();
    }
    QByteArray tail = file.read(file.size() - from);
    QList<QByteArray> lines = tail.replace('\r', '\n').split('\n');
    if (from > offset) {
        lines.removeFirst();  // cut off: the end of an older line
    }
    QStringList records;
    for (const QByteArray& line : lines) {
        if (auto record = recordIn(line, 0, line.size())) {
            records.append(*record);
        }
    }
    return records;
}

}  // namespace horalog
