#pragma once

#include "journal/journal_file.h"

namespace horalog::testing {

// Lines appended through the program's one append, whatever the file's figures: for tests of how
// a line lands in the file (its line end, its lock, its sync) rather than of what it says.
inline FileOutcome appendPlain(const QString& path, const QStringList& lines,
                               const AppendOptions& options = {}) {
    const LockedAppend done = appendRecords(
        path, std::nullopt, {}, [&lines](const Figures&) { return lines; }, options);
    return done.ok() ? FileOutcome() : done.failure<void>();
}

}  // namespace horalog::testing
