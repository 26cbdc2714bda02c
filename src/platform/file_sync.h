#pragma once

#include <QFileDevice>
#include <QString>
#include <optional>

#include "text/result.h"

namespace horalog {

// The system's own text for an error number, in the user's language.
QString systemErrorText(int errorNumber);

// Why the last call on the file failed, in the system's words: Qt's own texts for some errors
// ("No such file or directory") are English whatever the user's language.
QString fileErrorText(const QFileDevice& file);

// Forces the written data of an open file descriptor to the disk.
bool syncFileDescriptor(int fd);

// Makes a new or removed directory entry in the folder durable; Windows needs nothing.
void syncFolder(const QString& folder);

enum class OpenFound { Opened, Created, Missing, NotRegular, Failed };
struct OpenedFile {
    OpenFound found = OpenFound::Failed;
    int fd = -1;    // a C library descriptor, when Opened or Created
    QString error;  // the system's reason, when Missing or Failed
};

// Opens a regular file (through a symlink to its target) for reading, or for reading and
// appending. Anything else at the path is NotRegular and is never opened blocking, so a FIFO
// cannot hang the caller. With `create`, a missing file is created exclusively (Created: of two
// callers at the same instant exactly one creates it), never writable by group or others.
OpenedFile openRegularFile(const QString& path, bool forAppend, bool create);

// A regular file's size and time of change, read with one look at the name and no time zone:
// each tick compares them to learn whether another copy wrote the file.
struct FileStamp {
    qint64 size = 0;
    qint64 modifiedNs = 0;
    bool operator==(const FileStamp&) const = default;
};
std::optional<FileStamp> fileStamp(const QString& path);

// Whether the open file is still the one at the path, not removed or replaced meanwhile.
bool isFileAtPath(int fd, const QString& path);

enum class LockAttempt { Taken, Busy, Unsupported };

// One try at an exclusive lock on the whole open file (against a copy of the program on this
// machine, or on another over a network share); the lock goes with the file's closing.
// Unsupported: the file system offers no byte-range locks (a share without a lock service).
// Failed with the system's reason on any other error.
Result<LockAttempt> tryLockFile(int fd);

// Makes every later tryLockFile answer Unsupported, as on a share without locks; for tests.
void pretendNoByteRangeLocks(bool pretend);

enum class Linked { Yes, NotPossible };

// Gives the file a second name on the same volume without copying it; never replaces a file
// (failed, with the system's reason, when the name is taken). NotPossible (another volume, a file
// system without links) leaves the caller to copy.
Result<Linked> linkFile(const QString& from, const QString& to);

}  // namespace horalog
