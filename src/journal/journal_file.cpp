#include "journal/journal_file.h"

#include <QCoreApplication>
#include <QDateTime>
#include <QElapsedTimer>
#include <QFile>
#include <QFileInfo>
#include <QRandomGenerator>
#include <QSysInfo>
#include <algorithm>
#include <cerrno>
#include <chrono>
#include <map>
#include <mutex>
#include <thread>

#include "journal/record.h"
#include "journal/windows1252.h"
#include "platform/file_sync.h"

namespace horalog {

namespace {

constexpr qint64 kChunk = 64 * 1024;
constexpr int kLockPollMs = 25;
constexpr QFileDevice::Permissions kNewFilePermissions =
    QFileDevice::ReadOwner | QFileDevice::WriteOwner | QFileDevice::ReadGroup |
    QFileDevice::ReadOther;

// The last record line of a file, or why it could not be read.
using LastLine = FileResult<std::optional<QString>>;

FileOutcome failure(FileProblem problem, const QString& error) {
    return FileOutcome::failed({problem, error});
}

// The system's reason for the last failed call, in the user's language.
QString systemError() {
    return systemErrorText(errno);
}

// Opens the regular file at the path, never blocking on anything else there.
FileOutcome openFile(QFile& file, const QString& path, bool forAppend, bool create,
                     bool* created = nullptr) {
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

// Whether the file's last byte ends a line; true for an empty or unreadable file.
bool endsWithLineEnd(QFile& file) {
    if (file.size() <= 0 || !file.seek(file.size() - 1)) {
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

// Reads back a chunk at a time. Only the start of one line is carried from chunk to chunk, and
// never more than kLongestLine of it, so a tail without line ends costs no more than a record.
LastLine lastRecordIn(QFile& file) {
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
        error = systemError();
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

// The lock beside the registration file where its file system has no byte-range locks (a
// network share without a lock service): a file made exclusively, naming its owner's process
// and machine, removed when done.
class LockFile {
public:
    explicit LockFile(const QString& registrationFile) {
        const QFileInfo info(registrationFile);
        // Beside the target of a symlink, so that every name of the file shares one lock.
        const QString canonical = info.canonicalFilePath();
        path_ =
            (canonical.isEmpty() ? info.absoluteFilePath() : canonical) + QStringLiteral(".lock");
    }
    LockFile(const LockFile&) = delete;
    LockFile& operator=(const LockFile&) = delete;
    ~LockFile() {
        // Only our own: after a take-over the name may be another's.
        if (!owner_.isEmpty() && contents(path_) == owner_) {
            QFile::remove(path_);
        }
    }

    Result<LockAttempt> tryTake(int staleLockMs) {
        bool held = false;
        QString error;
        for (int attempt = 0; attempt < 3; ++attempt) {
            QFile file(path_);
            if (file.open(QIODevice::WriteOnly | QIODevice::NewOnly, kNewFilePermissions)) {
                const QByteArray owner =
                    QByteArray::number(QCoreApplication::applicationPid()) + ' ' +
                    QSysInfo::machineHostName().toUtf8() + ' ' +
                    QByteArray::number(QRandomGenerator::global()->generate()) + '\n';
                file.write(owner);
                owner_ = owner;
                return LockAttempt::Taken;
            }
            error = fileErrorText(file);
            // Gone again already (its owner let go), or never there: a folder that refuses new
            // files fails each time.
            held = QFileInfo::exists(path_);
            if (held && !takeOverIfStale(staleLockMs)) {
                return LockAttempt::Busy;
            }
        }
        if (held) {
            return LockAttempt::Busy;
        }
        return Result<LockAttempt>::failed(error);
    }

private:
    static QByteArray contents(const QString& path) {
        QFile file(path);
        return file.open(QIODevice::ReadOnly) ? file.readAll() : QByteArray();
    }

    // What this copy has seen of another's lock file: its content and time of change, and since
    // when, by this machine's monotonic clock, they have not moved. Kept between appends, so a
    // lock left behind is known as such once the stale time has passed, however the presses fall.
    struct Seen {
        QByteArray owner;
        QDateTime modified;
        QElapsedTimer since;
    };
    static std::map<QString, Seen>& seenLocks() {
        static std::map<QString, Seen> seen;
        return seen;
    }
    static std::mutex& seenMutex() {
        static std::mutex mutex;
        return mutex;
    }

    // Whether the lock file has held this content and time of change for the stale time while
    // this copy looked. Its time of change is only compared with itself: two machines' clocks
    // never are.
    bool unchangedFor(const QByteArray& owner, const QDateTime& modified, int staleLockMs) {
        const std::lock_guard guard(seenMutex());
        Seen& seen = seenLocks()[path_];
        if (!seen.since.isValid() || seen.owner != owner || seen.modified != modified) {
            seen = {owner, modified, {}};
            seen.since.start();
            return staleLockMs <= 0;
        }
        return seen.since.elapsed() >= staleLockMs;
    }
    void forgetSeen() {
        const std::lock_guard guard(seenMutex());
        seenLocks().erase(path_);
    }

    // A lock whose owner has ended on this machine, or that has not moved for longer than any
    // append (an empty one too: its owner died before writing its name), goes. It is first
    // renamed aside, and put back when what was renamed is not what was judged (its owner let go
    // and another took it between the look and the rename).
    bool takeOverIfStale(int staleLockMs) {
        const QByteArray owner = contents(path_);
        const QDateTime modified = QFileInfo(path_).lastModified();
        const QList<QByteArray> fields = owner.trimmed().split(' ');
        const bool ownerEnded = fields.size() >= 2 &&
                                fields[1] == QSysInfo::machineHostName().toUtf8() &&
                                processEnded(fields[0].toLongLong());
        if (!ownerEnded && !unchangedFor(owner, modified, staleLockMs)) {
            return false;
        }
        forgetSeen();
        const QString aside = path_ + QStringLiteral(".%1").arg(QCoreApplication::applicationPid());
        QFile::remove(aside);
        if (!QFile::rename(path_, aside)) {
            return true;  // gone already: try again
        }
        if (contents(aside) != owner || QFileInfo(aside).lastModified() != modified) {
            QFile::rename(aside, path_);
        }
        QFile::remove(aside);
        return true;
    }

    QString path_;
    QByteArray owner_;  // what this lock file holds while it is ours
};

// Takes the lock on the open file, or beside it where the file system has none; while another
// program holds it, waits up to the options' time, calling their hook between tries.
FileOutcome takeLock(QFile& file, const QString& path, const AppendOptions& options,
                     std::optional<LockFile>& beside) {
    QElapsedTimer waited;
    waited.start();
    int pause = 1;
    for (;;) {
        const Result<LockAttempt> attempt =
            beside ? beside->tryTake(options.staleLockMs) : tryLockFile(file.handle());
        if (!attempt.ok()) {
            return failure(FileProblem::Failed, attempt.error());
        }
        if (*attempt == LockAttempt::Unsupported) {
            beside.emplace(path);
            continue;
        }
        if (*attempt == LockAttempt::Taken) {
            return {};
        }
        if (waited.elapsed() >= options.lockWaitMs) {
            return failure(FileProblem::Locked, lockedText());
        }
        if (options.whileWaiting) {
            options.whileWaiting();
        }
        // Short at first, as most locks are held for a moment only.
        std::this_thread::sleep_for(std::chrono::milliseconds(pause));
        pause = std::min(2 * pause, kLockPollMs);
    }
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

QString lockedText() {
    return QStringLiteral("Registreringsfilen er låst af et andet program. Prøv igen om lidt.");
}

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

LastLine readLastRecordLine(const QString& path) {
    QFile file;
    if (const FileOutcome opened = openFile(file, path, false, false); !opened.ok()) {
        return LastLine::failed(opened.error());
    }
    return lastRecordIn(file);
}

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
        outcome = failure(FileProblem::Failed, systemError());
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

FileOutcome moveRegistrationFile(const QString& from, const QString& to,
                                 const std::function<void()>& storeNewPath,
                                 const AppendOptions& options) {
    const QString named = QFileInfo(from).absoluteFilePath();
    const QString target = QFileInfo(from).canonicalFilePath();
    const QString destination = QFileInfo(to).absoluteFilePath();
    if (named == destination || target == destination) {
        storeNewPath();
        return {};
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
    try {
        storeNewPath();
    } catch (...) {
        removeHeld(held, to);  // on one volume, a link to the held file
        throw;
    }
    // The records are safe under the new name; an old name left behind is only a spare copy.
    removeHeld(held, target);
    if (named != target) {
        removeFile(named);  // the symlink, which now points nowhere
    }
    return {};
}

}  // namespace horalog
