#pragma once

#include <QString>
#include <QStringList>
#include <cstdint>
#include <functional>
#include <optional>

#include "journal/file_figures.h"
#include "journal/journal_file.h"
#include "platform/file_sync.h"
#include "timekeeping/balance.h"

namespace horalog {

// What became of an append. Only Locked is worth trying again at once; Missing and NotRegular
// wait for the user to mend the file or choose another, Failed (with failure()) ends the program.
enum class AppendOutcome {
    Written,                    // on the figures this copy held
    WrittenOnFiguresReadAgain,  // another program appended since: built on the file's figures
    Refused,                    // the figures could not hold it: nothing to write
    Locked,
    Missing,     // gone since this copy saw it: moved or deleted, and never made anew here
    NotRegular,  // a folder, a FIFO or a device at the path
    Failed,
};

// What an append writes on the figures it is handed, and the figures those lines leave.
struct NewRecords {
    QStringList lines;
    Figures after;
};
// Nothing: the figures cannot hold the change, and nothing is written.
using BuildRecords = std::function<std::optional<NewRecords>(const Figures& before)>;

// The registration file as one copy of the program knows it: its last figures, its last record
// as this copy read or wrote it (so an append sees what another copy added since), whether this
// copy has seen the file (then one gone is not made anew without its header) and its stamp (so
// a look between commands costs one stat).
class FileSession {
public:
    const QString& path() const { return path_; }
    // Another file: seen when one is there already, and looked at afresh.
    void setPath(const QString& path);
    const Figures& figures() const { return figures_; }
    // The file was found at the path by other means (moved there by this copy).
    void noteSeen() { seen_ = true; }
    // A first start said "Nej" to the records in the file: the figures start again at its end.
    void declineRecords() { newPeriod_ = true; }
    bool newPeriodDue() const { return newPeriod_; }
    // The header and the opening record of a new period at the file's end, on this balance; a
    // file gone meanwhile is made anew, as these lines begin one.
    AppendOutcome startNewPeriod(const QString& date, std::int32_t balance,
                                 AppendOptions options = {});

    // The figures of the file's last record; a file without one leaves the figures held.
    FileOutcome read();
    // A new file with the header and the opening record of this balance; whether another copy
    // made it a moment before, whose figures count then.
    FileResult<Created> create(const QString& date, std::int32_t balance,
                               const AppendOptions& options = {});
    // Appends what `build` makes of the file's last figures, under its lock. The options' wait
    // and hook apply; whether the file must exist is this session's.
    AppendOutcome append(const BuildRecords& build, AppendOptions options = {});
    // Why the last append Failed: the system's words, or the file's damage.
    const QString& failure() const { return failure_; }

    // The file's last figures read again; true when they differ from those held.
    bool reread();
    // The same, only when the file's size or time of change moved since this copy last looked.
    bool followChanges();

private:
    AppendOutcome write(const BuildRecords& build, const AppendOptions& options);
    void take(const RecordFigures& read);

    QString path_;
    Figures figures_;
    std::optional<QString> lastRecord_;
    bool seen_ = false;
    bool newPeriod_ = false;
    std::optional<FileStamp> stamp_;
    QString failure_;
};

}  // namespace horalog
