#pragma once

#include <QString>

namespace horalog {

// Forces the written data of an open file descriptor to the disk.
bool syncFileDescriptor(int fd);

// Makes a new or removed directory entry in the folder durable; Windows needs nothing.
void syncFolder(const QString& folder);

enum class LinkResult { Linked, TargetExists, NotPossible };

// Gives the file a second name on the same volume without copying it; never replaces a file.
// NotPossible (another volume, a file system without links) leaves the caller to copy.
LinkResult linkFile(const QString& from, const QString& to, QString& error);

}  // namespace horalog
