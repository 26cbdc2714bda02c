#pragma once

#include <QString>

namespace horalog {

enum class FilenamePart { Folder, Name };

// The folder part of a path or its file-name part, split at the last separator.
QString splitFilename(const QString& filename, FilenamePart part);

// What becomes of a chosen file name: refused (its folder does not exist or takes no files),
// simply stored (no
// file at the old path), or the user is asked whether to move the old file there.
enum class LocationChoice { Refused, StoreOnly, AskToMove };
LocationChoice chooseLocation(const QString& chosen, bool oldFileExists);

// Why a chosen name cannot hold the file, or nothing.
QString locationRefusal(const QString& chosen);
QString moveQuestion(const QString& from, const QString& to);
QString moveFailure(const QString& from, const QString& to, const QString& error);
QString locationStatus(const QString& filnavn);

}  // namespace horalog
