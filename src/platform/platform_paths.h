#pragma once

#include <QChar>
#include <QString>

namespace horalog {

// Horalog.Dat in the user's home folder; C:\Horalog.Dat on Windows.
QString defaultRegistrationFile();

// The separator between a folder and a file name in the paths the user sees.
QChar pathSeparator();

}  // namespace horalog
