#pragma once

#include <QString>
#include <functional>

#include "journal/journal_file.h"

namespace horalog {

// The folder part of a path (true) or its file-name part (false), split at the last separator.
QString splitFilename(const QString& filename, bool pathFile);

// Whether the folder of a chosen file name exists; a name elsewhere is refused.
bool folderOfFileExists(const QString& filename);

// Moves the registration file so that the store names a file holding every record at every
// moment: a complete, synced file at the new name first, then storeNewPath, then the old name
// removed. A crash at any step leaves at worst a spare copy. When storeNewPath throws, the new
// copy is removed again and the error goes on.
FileOutcome moveRegistrationFile(const QString& from, const QString& to,
                                 const std::function<void()>& storeNewPath);

}  // namespace horalog
