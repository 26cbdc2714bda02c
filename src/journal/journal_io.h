#pragma once

// What the registration file's reading, appending and moving share: opening it, reading back its
// last record, and its lock.
#include <QFile>
#include <QString>
#include <optional>

#include "journal/journal_file.h"

namespace horalog {

class LockFile;

namespace journal_io {

inline constexpr qint64 kChunk = 64 * 1024;
inline constexpr QFileDevice::Permissions kNewFilePermissions =
    QFileDevice::ReadOwner | QFileDevice::WriteOwner | QFileDevice::ReadGroup |
    QFileDevice::ReadOther;

inline FileOutcome failure(FileProblem problem, const QString& error) {
    return FileOutcome::failed({problem, error});
}

// Opens the regular file at the path, never blocking on anything else there.
FileOutcome openFile(QFile& file, const QString& path, bool forAppend, bool create,
                     bool* created = nullptr);

// The last record line of the open file, read back a chunk at a time.
FileResult<std::optional<QString>> lastRecordIn(QFile& file);

// Takes the lock on the open file, or beside it where the file system has none; while another
// program holds it, waits up to the options' time, calling their hook between tries. The lock
// beside the file, when one was needed, lives in `beside` and goes with it.
FileOutcome takeLock(QFile& file, const QString& path, const AppendOptions& options,
                     std::optional<LockFile>& beside);

}  // namespace journal_io
}  // namespace horalog
