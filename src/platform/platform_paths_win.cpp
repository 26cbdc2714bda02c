#include <QCryptographicHash>
#include <QtGlobal>

#include "platform/platform_paths.h"

namespace horalog {

QString defaultRegistrationFile() {
    return QStringLiteral("C:\\Horalog.Dat");
}

QString userLoginName() {
    return qEnvironmentVariable("USERNAME");
}

QChar pathSeparator() {
    return QLatin1Char('\\');
}

QString instanceServerName(const QString& folder) {
    // Pipe names share one namespace per session; the folder's hash keeps users apart.
    const QByteArray hash =
        QCryptographicHash::hash(folder.toUtf8(), QCryptographicHash::Sha1).toHex();
    return QStringLiteral("horalog-") + QString::fromLatin1(hash.left(16));
}

}  // namespace horalog
