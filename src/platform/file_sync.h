#pragma once

#include <QFileDevice>
#include <QString>

namespace horalog {

// The system's own text for an error number, in the user's language.
QString systemErrorText(int errorNumber);

// Why the last call on the file failed, in the system's words: Qt's own texts for some errors
// ("No such file or directory") are English whatever the user's language.
QString fileErrorText(const QFileDevice& file);

// Forces the written data of an open file descriptor to the disk.
bool syncFileDescriptor(int fd);

// Makes a new or removed directory entry in the folder durable; Windows needs nothing.
void syncFolder(const QString& folder);

// Takes an exclusive lock on the whole open file, waiting up to waitMs while another holds it (a
// copy of the program on this machine, or on another over a network share). The lock goes with
// the file's closing.
bool lockFile(int fd, int waitMs, QString& error);

enum class LinkResult { Linked, TargetExists, NotPossible };

// Gives the file a second name on the same volume without copying it; never replaces a file.
// NotPossible (another volume, a file system without links) leaves the caller to copy.
LinkResult linkFile(const QString& from, const QString& to, QString& error);

}  // namespace horalog
