#pragma once

#include <QString>
#include <QStringList>
#include <functional>
#include <optional>

#include "text/result.h"
#include "timekeeping/balance.h"

namespace horalog {

// How long an append waits for another copy of the program to let go of the file.
inline constexpr int kLockWaitMs = 5000;
// No copy of the program holds the lock for more than a moment: a lock file (where the file
// system has no byte-range locks) seen unchanged this long was left by one that died.
inline constexpr int kStaleLockMs = 60 * 1000;

// A record is a few hundred bytes; a longer line after the last record is damage (a crash's
// NUL-filled tail), and reading back over it stops here instead of reading the whole file.
inline constexpr qsizetype kLongestLine = 64 * 1024;

// Why a file operation did nothing. Locked, Missing, NotRegular and Damaged are the file's
// state, which the user can mend; Failed is any other error of the system.
enum class FileProblem { None, Failed, Locked, Missing, NotRegular, Damaged };

// Why a call on the registration file did nothing: the kind of problem and what to tell the user.
struct FileError {
    FileProblem problem = FileProblem::Failed;
    QString text;
};
template <typename T = void>
using FileResult = Result<T, FileError>;
using FileOutcome = FileResult<>;

QString lockedText();  // «Registreringsfilen er låst af et andet program. Prøv igen om lidt.»
QString notRegularText();  // «Stien er ikke en almindelig fil (en mappe, en FIFO eller en enhed).»
QString damagedText();     // the last line is longer than kLongestLine

// Any file at the path counts, hidden or not: it is the user's file.
bool registrationFileExists(const QString& path);

// What is at a path, found without opening it (a FIFO would block an open). Symlinks are
// followed; a dangling one is Missing, and is never created through.
enum class PathKind { Missing, RegularFile, NotRegular };
PathKind registrationPathKind(const QString& path);

// The last line with at least seven fields (nothing when no line holds seven), found by reading
// back from the end, so a file of twenty years costs no more than one of a day. Blank or short
// lines after it are passed over; a line longer than kLongestLine among them is Damaged.
FileResult<std::optional<QString>> readLastRecordLine(const QString& path);

// The records that begin at or after `offset` (a size the file had), in the file's order: what
// was appended since. Only the last kLongestTail bytes are read, so a file handed over with no
// line ends costs no more than that.
inline constexpr qsizetype kLongestTail = 16 * kLongestLine;
FileResult<QStringList> readRecordLinesSince(const QString& path, qint64 offset);

struct AppendOptions {
    // Set once the program has seen the file: a file gone since is Missing and not made anew
    // (without its header). Otherwise a missing file is created by the append.
    bool mustExist = false;
    int lockWaitMs = kLockWaitMs;
    // Called every few dozen milliseconds while another program holds the lock, so a window
    // can go on painting.
    std::function<void()> whileWaiting = {};
    // How long a lock file of another machine, or of no known owner, must be seen unchanged by
    // this copy before it counts as left behind.
    int staleLockMs = kStaleLockMs;
};

// Every write appends lines, each ending in CR LF, in one write, flushed and synced, under an
// exclusive lock on the file. A file whose last line lacks its line end gets one first, so a
// record never fuses with it. A write that fails part-way leaves the file as it was (a file the
// call created is removed again); a lock not had within the wait is Locked.

// The first lines of a new file; none when, under the lock, the file turns out to hold a record
// already (another copy of the program created it a moment before).
enum class Created { Here, Elsewhere };
FileResult<Created> createFile(const QString& path, const QStringList& lines,
                               const AppendOptions& options = {});

// A record appended on the figures of the file's last record: under the lock, that record is
// compared with `known`, the one this copy of the program read or wrote last. When another copy
// appended since (or the user edited the file), the figures are read again from it, as at a
// start, instead of `held`; build makes the lines from the figures (none: nothing is written).
struct Appended {
    std::optional<Figures> reread;  // the file's figures, when read again from a record of it
    std::optional<QString> last;    // the file's last record now
};
using LockedAppend = FileResult<Appended>;
LockedAppend appendRecords(const QString& path, const std::optional<QString>& known,
                           const Figures& held,
                           const std::function<QStringList(const Figures&)>& build,
                           const AppendOptions& options = {});

// A complete, synced copy of the file under a new name (a second link where the volume allows
// it); never over an existing file. The original stays. A symlink is copied as its target.
FileOutcome placeCopy(const QString& from, const QString& to);

// Removes a name that is no longer needed; one left behind is a spare copy, never a loss.
void removeFile(const QString& path);

// Moves the registration file so that the store names a file holding every record at every
// moment: a complete, synced file at the new name first, then storeNewPath, then the old name
// removed, all under the old file's lock, so another copy appends before the copy or finds the
// file moved. A symlink moves its target, and goes too. A crash at any step leaves at worst a
// spare copy. storeNewPath answers whether the store took the new path; when it did not, the new
// copy is removed again and the move fails with no text of its own (the caller knows why).
FileOutcome moveRegistrationFile(const QString& from, const QString& to,
                                 const std::function<bool()>& storeNewPath,
                                 const AppendOptions& options = {});

}  // namespace horalog
