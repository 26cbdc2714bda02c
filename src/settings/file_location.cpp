#include "settings/file_location.h"

#include <QFileInfo>

#include "platform/platform_paths.h"

namespace horalog {

QString splitFilename(const QString& filename, bool pathFile) {
    const qsizetype cut = filename.lastIndexOf(pathSeparator());
    if (cut < 0) {
        return pathFile ? QStringLiteral(".") : filename;
    }
    return pathFile ? filename.left(cut) : filename.mid(cut + 1);
}

QString locationRefusal(const QString& chosen) {
    // A name in a folder that does not exist could never hold the file, and stored it would end
    // every later start on the file error.
    if (QFileInfo(QFileInfo(chosen).absolutePath()).isDir()) {
        return QString();
    }
    return QStringLiteral("Mappen \"%1\" findes ikke.").arg(splitFilename(chosen, true));
}

LocationChoice chooseLocation(const QString& chosen, bool oldFileExists) {
    if (!locationRefusal(chosen).isEmpty()) {
        return LocationChoice::Refused;
    }
    return oldFileExists ? LocationChoice::AskToMove : LocationChoice::StoreOnly;
}

QString moveQuestion(const QString& from, const QString& to) {
    return QStringLiteral("Skal den eksisterende fil: ") + from +
           QStringLiteral("\r\nflyttes til: ") + to +
           QStringLiteral(
               " ?\r\n\r\n(Ved 'No' oprettes en ny tom fil, \r\neller den evt. "
               "eksisterende fil anvendes)");
}

QString moveFailure(const QString& from, const QString& to, const QString& error) {
    return QStringLiteral("Filen ") + from + QStringLiteral(" kunne ikke flyttes til ") + to +
           QStringLiteral("\r\nFejl: ") + error +
           QStringLiteral("\r\n\r\nHoralogs data gemmes fortsat i ") + from;
}

QString locationStatus(const QString& filnavn) {
    return QStringLiteral("Filnavn ændret/flyttet til ") + filnavn;
}

}  // namespace horalog
