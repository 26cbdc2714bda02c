#pragma once

#include <QString>
#include <cstdint>
#include <optional>

#include "journal/journal_file.h"
#include "timekeeping/balance.h"
#include "timekeeping/stored_arrival.h"

namespace horalog {

// The figures of a registration file that exists: from its last line of seven fields, nothing
// when it has none. Failed when the file cannot be read (the problem as for readLastRecordLine)
// or that line holds a number too large for its column (Damaged).
struct RecordFigures {
    std::optional<Figures> figures;
    std::optional<QString> line;    // the record they come from
    bool createdElsewhere = false;  // made by another copy while this one asked for the balance
};
using FileFigures = FileResult<RecordFigures>;
FileFigures readFileFigures(const QString& path);

// A new registration file: the header and the opening record with the balance; the figures of
// the file that another copy of the program created a moment before, when it did. The options'
// wait and hook apply; the file is created whatever their mustExist.
FileFigures createRegistrationFile(const QString& path, const QString& date, std::int32_t total,
                                   const AppendOptions& options = {});

// Whether a record appended since the arrival was registered (sizeAtArrival, the file's size then,
// is stored beside it) already closes it: the copy that saved the day may have ended before it
// could forget the arrival, and others may have appended after it. Nothing is known without the
// size; a file that cannot be read closes nothing (reading its figures reports it).
bool fileClosesArrival(const QString& path, const StoredArrival& stored, const QString& pattern,
                       std::optional<qint64> sizeAtArrival);

}  // namespace horalog
