#include <QDir>

#include "platform/platform_paths.h"

namespace horalog {

QString defaultRegistrationFile() {
    return QDir::homePath() + QStringLiteral("/Horalog.Dat");
}

QChar pathSeparator() {
    return QLatin1Char('/');
}

QString instanceServerName(const QString& folder) {
    return folder + QStringLiteral("/horalog.socket");
}

}  // namespace horalog
