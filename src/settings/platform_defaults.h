#pragma once

#include <QChar>
#include <QDir>
#include <QString>

namespace horalog {

inline QString defaultRegistrationFile() {
#ifdef _WIN32
    return QStringLiteral("C:\\Horalog.Dat");
#else
    return QDir::homePath() + QStringLiteral("/Horalog.Dat");
#endif
}

// The separator between a folder and a file name in the paths the user sees.
inline QChar pathSeparator() {
#ifdef _WIN32
    return QLatin1Char('\\');
#else
    return QLatin1Char('/');
#endif
}

}  // namespace horalog
