// Choosing or moving the registration file.
#include <QAction>
#include <QLabel>

#include "app/flex_form.h"
#include "settings/file_location.h"

namespace horalog {

QString Flex_Form::SplitFilename(const QString& filename, bool path_file) const {
    return splitFilename(filename, path_file);
}

void Flex_Form::setFilnavn(const QString& path) {
    Filnavn = path;
    Filnavn_Menu->setText(QStringLiteral("&Filnavn  (") + Filnavn + QLatin1Char(')'));
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
    if (!folderOfFileExists(*chosen)) {
        refuse(QStringLiteral("Mappen \"%1\" findes ikke.").arg(SplitFilename(*chosen, true)));
        return;
    }
    setFilnavn(*chosen);
    const auto storePath = [this] { writeSetting(QStringLiteral("Filnavn"), Filnavn); };
    if (!registrationFileExists(old)) {
        storePath();
    } else if (platform_.messageBox(
                   this,
                   QStringLiteral("Skal den eksisterende fil: ") + old +
                       QStringLiteral("\r\nflyttes til: ") + Filnavn +
                       QStringLiteral(" ?\r\n\r\n(Ved 'No' oprettes en ny tom fil, \r\neller den "
                                      "evt. eksisterende fil anvendes)"),
                   QStringLiteral("Flyt Horalog.dat"), MessageIcon::Question, MessageButtons::YesNo,
                   MessageAnswer::Yes) == MessageAnswer::Yes) {
        const FileOutcome moved = moveRegistrationFile(old, Filnavn, storePath);
        if (!moved.ok) {
            // Records must never split silently across two files: stay with the old one.
            const QString wanted = Filnavn;
            setFilnavn(old);
            platform_.messageBox(
                this,
                QStringLiteral("Filen ") + old + QStringLiteral(" kunne ikke flyttes til ") +
                    wanted + QStringLiteral("\r\nFejl: ") + moved.error +
                    QStringLiteral("\r\n\r\nHoralogs data gemmes fortsat i ") + old,
                QStringLiteral("Flyt Horalog.dat"), MessageIcon::Exclamation, MessageButtons::Ok,
                MessageAnswer::Ok);
            return;
        }
    } else {
        // The new file is read or made before the store names it.
        Laes_Registrering();
        showBalances();
        storePath();
    }
    Status_Label->setText(QStringLiteral("Filnavn ændret/flyttet til ") + Filnavn);
    restartTimer();
}

}  // namespace horalog
