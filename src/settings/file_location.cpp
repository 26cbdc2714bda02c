// Choosing or moving the registration file.
#include <QAction>
#include <QFile>
#include <QFileInfo>
#include <QLabel>

#include "app/flex_form.h"
#include "journal/journal_file.h"
#include "journal/sync_file.h"
#include "settings/platform_defaults.h"

namespace horalog {

namespace {

// Moves the file, never over an existing one, and makes the move durable.
FileOutcome moveFile(const QString& from, const QString& to) {
    if (QFileInfo(from).absoluteFilePath() == QFileInfo(to).absoluteFilePath()) {
        return {};
    }
    QFile file(from);
    if (!file.rename(to)) {
        return {false, file.errorString()};
    }
    QFile moved(to);
    if (moved.open(QIODevice::ReadOnly)) {
        syncFileDescriptor(moved.handle());
    }
    syncFolder(QFile::encodeName(QFileInfo(to).absolutePath()));
    syncFolder(QFile::encodeName(QFileInfo(from).absolutePath()));
    return {};
}

}  // namespace

QString Flex_Form::SplitFilename(const QString& filename, bool path_file) const {
    const qsizetype cut = filename.lastIndexOf(pathSeparator());
    if (cut < 0) {
        return path_file ? QStringLiteral(".") : filename;
    }
    return path_file ? filename.left(cut) : filename.mid(cut + 1);
}

void Flex_Form::Filnavn_Menu_Click() {
    const QString old = Filnavn;
    FileDialogRequest request;
    request.title = QStringLiteral("Indtast navnet på filen med horalogs registreringer:");
    request.folder = SplitFilename(Filnavn, true);
    request.fileName = SplitFilename(Filnavn, false);
    request.filters = {QStringLiteral("Dat fil (*.Dat)|*.dat"),
                       QStringLiteral("Alle filer (*.*)|*.*")};
    const std::optional<QString> chosen = platform_.chooseFile(this, request);
    if (!chosen || chosen->isEmpty()) {
        return;
    }

    const auto usePath = [this](const QString& path) {
        Filnavn = path;
        Filnavn_Menu->setText(QStringLiteral("&Filnavn  (") + Filnavn + QLatin1Char(')'));
        writeSetting(QStringLiteral("Filnavn"), Filnavn);
    };
    usePath(*chosen);

    if (registrationFileExists(old)) {
        const MessageAnswer answer = platform_.messageBox(
            this,
            QStringLiteral("Skal den eksisterende fil: ") + old +
                QStringLiteral("\r\nflyttes til: ") + Filnavn +
                QStringLiteral(" ?\r\n\r\n(Ved 'No' oprettes en ny tom fil, \r\neller den evt. "
                               "eksisterende fil anvendes)"),
            QStringLiteral("Flyt Horalog.dat"), MessageIcon::Question, MessageButtons::YesNo,
            MessageAnswer::Yes);
        if (answer == MessageAnswer::Yes) {
            const FileOutcome moved = moveFile(old, Filnavn);
            if (!moved.ok) {
                // Records must never split silently across two files: stay with the old one.
                const QString wanted = Filnavn;
                usePath(old);
                platform_.messageBox(
                    this,
                    QStringLiteral("Filen ") + old + QStringLiteral(" kunne ikke flyttes til ") +
                        wanted + QStringLiteral("\r\nFejl: ") + moved.error +
                        QStringLiteral("\r\n\r\nHoralogs data gemmes fortsat i ") + old,
                    QStringLiteral("Flyt Horalog.dat"), MessageIcon::Exclamation,
                    MessageButtons::Ok, MessageAnswer::Ok);
                return;
            }
        } else {
            Laes_Registrering();
            showBalances();
        }
    }
    Status_Label->setText(QStringLiteral("Filnavn ændret/flyttet til ") + Filnavn);
    restartTimer();
}

}  // namespace horalog
