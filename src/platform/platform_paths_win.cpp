#include "platform/platform_paths.h"

namespace horalog {

QString defaultRegistrationFile() {
    return QStringLiteral("C:\\Horalog.Dat");
}

QChar pathSeparator() {
    return QLatin1Char('\\');
}

}  // namespace horalog
