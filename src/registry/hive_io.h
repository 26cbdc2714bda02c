#pragma once

#include <sys/types.h>

#include <string>

// The POSIX file steps the store's files share: folders, links, whole writes and the leftovers of
// a writer that was killed.
namespace horalog::hive_io {

std::string folderOf(const std::string& file);
std::string errorText(int error);
// The code a failed change reports for the system's error: the window tells a full disk and a
// store it may not write apart from the rest.
long writeFailure(int error);
bool makeFolders(const std::string& folder);
bool writeAll(int fd, const std::string& text);
void syncFolder(const std::string& folder);
// What stands at a store's path when it is not a file.
const char* kindOf(mode_t mode);
// The file a symlink at the store's path names, followed link by link: the new file must
// replace the link's target, not the link, or the settings it shares would part ways.
bool followLinks(const std::string& path, std::string& target, int& error);
// A writer killed between mkstemp and rename leaves <store>.XXXXXX behind; they go.
void removeLeftoverTemps(const std::string& target);

}  // namespace horalog::hive_io
