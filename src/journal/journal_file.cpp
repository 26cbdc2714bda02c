#include "journal/journal_file.h"

#include <QFile>
#include <QFileInfo>
#include <cerrno>
#include <cstring>

#include "journal/record.h"
#include "journal/sync_file.h"
#include "journal/windows1252.h"

namespace horalog {

namespace {

constexpr qint64 kChunk = 64 * 1024;

QString errorOf(const QFile& file) {
    return file.errorString();
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
        result.outcome = {false, errorOf(file)};
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
                result.outcome = {false, errorOf(file)};
                return result;
            }
            buffer = file.read(length);
            if (buffer.size() != length) {
                result.outcome = {false, errorOf(file)};
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
        return {false, errorOf(file)};
    }
    if (file.write(bytes) != bytes.size()) {
        return {false, errorOf(file)};
    }
    if (!file.isSequential() && !syncFileDescriptor(file.handle())) {
        return {false, QString::fromLocal8Bit(std::strerror(errno))};
    }
    file.close();
    if (!existed) {
        syncFolder(QFile::encodeName(QFileInfo(path).absolutePath()));
    }
    return {};
}

}  // namespace horalog
