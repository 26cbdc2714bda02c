#pragma once

#include "text/message.h"
#include "text/result.h"

#include <QString>
#include <cstdint>

namespace horalog {

enum class FilenamePart { Folder, Name };

// The folder part of a path or its file-name part, split at the last separator.
QString splitFilename(const QString& filename, FilenamePart part);

// The file a machine-wide "Filnavn" gives one user: its placeholder for the login name (%USERNAME%,
// $USER) filled in, and Horalog-<login>.Dat when it names a folder. So no two users share a file.
QString userFileName(const QString& machineName, const QString& userName);

// Asked at a user's first start when the file to be used already holds records: continuing in it
// is never silent. alternative: the file used on "Nej", or empty when "Nej" starts a new period
// in this file.
Message existingFileQuestion(const QString& filnavn, std::int32_t total,
                             const QString& alternative);

// What becomes of a chosen file name: simply stored (no file at the old path), or the user is
// asked whether to move the old file there; failed with the refusal (as usableLocation) when the
// name cannot hold the file.
enum class LocationChoice { StoreOnly, AskToMove };
Result<LocationChoice> chooseLocation(const QString& chosen, bool oldFileExists);

// Whether a chosen name can hold the file; failed with why not (its folder does not exist or
// takes no files, or it is no regular file or one that cannot be written).
Outcome usableLocation(const QString& chosen);
// The file dialog's title and its filters in Qt's form.
QString fileDialogTitle();
QStringList fileDialogFilters();
Message moveQuestion(const QString& from, const QString& to);
Message moveFailure(const QString& from, const QString& to, const QString& error);
QString locationStatus(const QString& filnavn);

}  // namespace horalog
