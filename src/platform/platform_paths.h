#pragma once

#include <QChar>
#include <QString>

namespace horalog {

// Horalog.Dat in the user's home folder; C:\Horalog.Dat on Windows.
QString defaultRegistrationFile();

// The user's login name, for a machine-wide file name that holds a placeholder for it.
QString userLoginName();

// The separator between a folder and a file name in the paths the user sees.
QChar pathSeparator();

// The name the running copy listens on for a second start: a socket beside the lock in the
// user's own folder, where no other user can take the name first (a named pipe on Windows).
QString instanceServerName(const QString& folder);

}  // namespace horalog
