#include "settings/file_location.h"

#include <QFile>
#include <QFileInfo>
#include <QTemporaryFile>

#include "platform/platform_paths.h"

namespace horalog {

QString splitFilename(const QString& filename, FilenamePart part) {
    const bool folder = part == FilenamePart::Folder;
    const qsizetype cut = filename.lastIndexOf(pathSeparator());
    if (cut < 0) {
        return folder ? QStringLiteral(".") : filename;
    }
    return folder ? filename.left(cut) : filename.mid(cut + 1);
}

Outcome usableLocation(const QString& chosen) {
    // A name in a folder that does not exist, or that the user cannot write to, could never hold
    // the file, and stored it would end every later start on the file error.
    const QString folder = QFileInfo(chosen).absolutePath();
    if (!QFileInfo(folder).isDir()) {
        return Outcome::failed(QStringLiteral("Mappen \"%1\" findes ikke.")
                                   .arg(splitFilename(chosen, FilenamePart::Folder)));
    }
    if (const QFileInfo info(chosen); info.exists() && !info.isFile()) {
        // A folder, a FIFO or a device: opening a FIFO would hang the window, and none of them
        // keeps records.
        return Outcome::failed(QStringLiteral("\"%1\" er ikke en almindelig fil.").arg(chosen));
    }
    if (QFile existing(chosen); existing.exists()) {
        // Records must be added to it, wherever it lies: a read-only file stored as the name
        // ended every later departure on the error.
        if (existing.open(QIODevice::Append)) {
            return {};
        }
        return Outcome::failed(QStringLiteral("Der kan ikke skrives i filen \"%1\".").arg(chosen));
    }
    // Asked by writing there, not from the permission bits: a read-only mount or an access list
    // says no where the bits say yes.
    if (QTemporaryFile probe(folder + QStringLiteral("/.horalog-XXXXXX")); probe.open()) {
        return {};
    }
    return Outcome::failed(QStringLiteral("Der kan ikke gemmes filer i mappen \"%1\".")
                               .arg(splitFilename(chosen, FilenamePart::Folder)));
}

QString userFileName(const QString& machineName, const QString& userName) {
    QString name = machineName;
    for (const QString& placeholder :
         {QStringLiteral("%USERNAME%"), QStringLiteral("${USER}"), QStringLiteral("$USER")}) {
        name.replace(placeholder, userName, Qt::CaseInsensitive);
    }
    // A folder gets a file for each user in it.
    const QString own = QStringLiteral("Horalog-") + userName + QStringLiteral(".Dat");
    const QChar separator = pathSeparator();
    if (name.endsWith(separator) || name.endsWith(QLatin1Char('/'))) {
        return name + own;
    }
    if (QFileInfo(name).isDir()) {
        return name + separator + own;
    }
    return name;
}

Message existingFileQuestion(const QString& filnavn, std::int32_t total,
                             const QString& alternative) {
    return question(
        QStringLiteral("Horalog.dat filnavn"),
        QStringLiteral("Registreringsfilen ") + filnavn +
            QStringLiteral(" findes allerede og indeholder registreringer (flex total ") +
            QString::number(total) +
            QStringLiteral(" ct).\r\n\r\nSkal Horalog fortsætte i den fil?\r\n") +
            (alternative.isEmpty()
                 ? QStringLiteral("(Ved 'Nej' startes en ny periode i filen med en ny saldo)")
                 : QStringLiteral("(Ved 'Nej' bruges ") + alternative + QLatin1Char(')')));
}

Result<LocationChoice> chooseLocation(const QString& chosen, bool oldFileExists) {
    if (const Outcome usable = usableLocation(chosen); !usable.ok()) {
        return usable.failure<LocationChoice>();
    }
    return oldFileExists ? LocationChoice::AskToMove : LocationChoice::StoreOnly;
}

QString fileDialogTitle() {
    return QStringLiteral("Indtast navnet på filen med horalogs registreringer:");
}

QStringList fileDialogFilters() {
    return {QStringLiteral("Dat fil (*.Dat)"), QStringLiteral("Alle filer (*.*)")};
}

Message moveQuestion(const QString& from, const QString& to) {
    return question(QStringLiteral("Flyt Horalog.dat"),
                    QStringLiteral("Skal den eksisterende fil: ") + from +
                        QStringLiteral("\r\nflyttes til: ") + to +
                        QStringLiteral(" ?\r\n\r\n(Ved 'No' oprettes en ny tom fil, \r\neller "
                                       "den evt. eksisterende fil anvendes)"));
}

Message moveFailure(const QString& from, const QString& to, const QString& error) {
    return notice(QStringLiteral("Flyt Horalog.dat"),
                  QStringLiteral("Filen ") + from + QStringLiteral(" kunne ikke flyttes til ") +
                      to + QStringLiteral("\r\nFejl: ") + error +
                      QStringLiteral("\r\n\r\nHoralogs data gemmes fortsat i ") + from,
                  MessageIcon::Exclamation);
}

QString locationStatus(const QString& filnavn) {
    return QStringLiteral("Filnavn ændret/flyttet til ") + filnavn;
}

}  // namespace horalog
