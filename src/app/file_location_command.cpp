// Choosing or moving the registration file.
#include <QAction>
#include <QLabel>

#include "app/flex_form.h"
#include "journal/journal_file.h"
#include "settings/file_location.h"

namespace horalog {

QString Flex_Form::SplitFilename(const QString& filename, FilenamePart part) const {
    return splitFilename(filename, part);
}

void Flex_Form::setFilnavn(const QString& path) {
    file_.setPath(path);
    Filnavn = path;
    Filnavn_Menu->setText(fileMenuCaption(Filnavn));
}

void Flex_Form::Filnavn_Menu_Click() {
    followBeforeCommand();
    const QString old = Filnavn;
    FileDialogRequest request;
    request.title = fileDialogTitle();
    request.folder = SplitFilename(Filnavn, FilenamePart::Folder);
    request.fileName = SplitFilename(Filnavn, FilenamePart::Name);
    request.filters = fileDialogFilters();
    request.refusal = [](const QString& chosen) {
        const Outcome usable = usableLocation(chosen);
        return usable.ok() ? usable : Outcome::failed(nothingChanged(usable.error()));
    };
    const std::optional<QString> chosen = platform_.chooseFile(this, request);
    if (!chosen || chosen->isEmpty()) {
        return;
    }
    const auto choice = chooseLocation(*chosen, registrationFileExists(old));
    if (!choice.ok()) {
        refuse(choice.error());
        return;
    }
    setFilnavn(*chosen);
    std::optional<StoreFailure> notStored;
    const auto storePath = [this, &notStored] {
        const StoreWrite stored = trySetting(Setting::Filnavn, Filnavn);
        if (!stored.ok()) {
            notStored = stored.error();
        }
        return stored.ok();
    };
    if (*choice == LocationChoice::StoreOnly) {
        storePath();
    } else if (platform_.ask(this, moveQuestion(old, Filnavn)) == MessageAnswer::Yes) {
        const FileOutcome moved = moveRegistrationFile(old, Filnavn, storePath, appendOptions());
        if (!moved.ok() && !notStored) {
            // Records must never split silently across two files: stay with the old one.
            const QString wanted = Filnavn;
            setFilnavn(old);
            platform_.tell(this, moveFailure(old, wanted, moved.error().text));
            return;
        }
        if (!notStored) {
            file_.noteSeen();
        }
    } else {
        // The new file is read or made before the store names it.
        Laes_Registrering();
        showBalances();
        storePath();
    }
    if (notStored) {
        // The store still names the old file (a moved copy is gone again): so does the window.
        setFilnavn(old);
        rereadFigures();
        refuse(notStored->told);
        return;
    }
    Status_Label->setText(locationStatus(Filnavn));
    restartTimer();
}

}  // namespace horalog
