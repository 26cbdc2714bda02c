#include <pwd.h>
#include <unistd.h>

#include <QDir>
#include <QFile>
#include <vector>

#include "platform/platform_paths.h"

namespace horalog {

namespace {

// HOME, or the password database's home folder when HOME is unset (a service, a bare `env -i`):
// never a folder that any local user could have made first.
QString homeFolder() {
    const QByteArray home = qgetenv("HOME");
    if (home.startsWith('/')) {
        return QFile::decodeName(home);
    }
    std::vector<char> buffer(16384);
    passwd entry{};
    passwd* found = nullptr;
    if (::getpwuid_r(::getuid(), &entry, buffer.data(), buffer.size(), &found) == 0 &&
        found != nullptr && found->pw_dir != nullptr && found->pw_dir[0] == '/') {
        return QFile::decodeName(found->pw_dir);
    }
    return QDir::homePath();
}

}  // namespace

QString defaultRegistrationFile() {
    QString home = homeFolder();
    if (home.endsWith(QLatin1Char('/'))) {
        home.chop(1);
    }
    return home + QStringLiteral("/Horalog.Dat");
}

QString userLoginName() {
    std::vector<char> buffer(16384);
    passwd entry{};
    passwd* found = nullptr;
    if (::getpwuid_r(::getuid(), &entry, buffer.data(), buffer.size(), &found) == 0 &&
        found != nullptr && found->pw_name != nullptr) {
        return QFile::decodeName(found->pw_name);
    }
    return qEnvironmentVariable("USER");
}

QChar pathSeparator() {
    return QLatin1Char('/');
}

QString instanceServerName(const QString& folder) {
    return folder + QStringLiteral("/horalog.socket");
}

}  // namespace horalog
