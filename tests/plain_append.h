#pragma once

#include "journal/journal_file.h"

namespace horalog::testing {

// Lines appended through the program's one append, for tests of how a line lands, not what it says.
inline FileOutcome appendPlain(const QString& path, const QStringList& lines,
                               const AppendOptions& options = {}) {
    const LockedAppend done = appendRecords(
        path, std::nullopt, {}, [&lines](const Figures&) { return lines; }, options);
    return done.ok() ? FileOutcome() : done.failure<void>();
}

}  // namespace horalog::testing
