// Reading the figures from the registration file, or creating it on first use, and appending
// the record of a closed day.
#include <QCoreApplication>
#include <utility>

#include "app/flex_form.h"
#include "journal/file_figures.h"
#include "journal/file_messages.h"
#include "journal/journal_file.h"
#include "journal/record.h"
#include "settings/file_location.h"
#include "text/number_text.h"

namespace horalog {

void Flex_Form::Laes_Registrering() {
    if (registrationPathKind(Filnavn) == PathKind::NotRegular) {
        fileError(creatingFailed(), notRegularText(), LastLineGap::None);
    }
    if (!registrationFileExists(Filnavn) || newPeriodInFile_) {
        std::optional<std::int32_t> balance;
        while (!balance) {
            const QString answer = platform_.ask(this, balanceQuestion());
            balance = readInt32(answer);
            if (!balance) {
                refuse(tooLargeRefusal(QStringLiteral("Saldoen"), answer));
            }
        }
        if (std::exchange(newPeriodInFile_, false)) {
            // As for a file the program could not see: the header and the opening record go at
            // its end, and the figures start again from the balance given.
            while (!append([&](const Figures&) {
                return QStringList{headerLine(), openingRecord(currentDateText(), *balance)};
            })) {
            }
            setFigures({0, 0, *balance});
            return;
        }
        for (;;) {
            const FileFigures created =
                createRegistrationFile(Filnavn, currentDateText(), *balance, appendOptions());
            if (created.ok()) {
                setFigures(*created->figures);
                lastRecord_ = created->line;
                if (created->createdElsewhere) {
                    platform_.tell(this, createdElsewhereNotice(created->figures->total));
                }
                break;
            }
            if (created.error().problem != FileProblem::Locked) {
                fileError(creatingFailed(), created.error().text, LastLineGap::None);
            }
            warn(lockedText());  // tried again once the user has read it
        }
        fileSeen_ = true;
        return;
    }
    const FileFigures read = readFileFigures(Filnavn);
    if (!read.ok()) {
        fileError(creatingFailed(), read.error().text, LastLineGap::None);
    }
    // A file without a record leaves the figures as they were.
    if (read->figures) {
        setFigures(*read->figures);
    }
    lastRecord_ = read->line;
    fileSeen_ = true;
}

std::optional<Flex_Form::RegisteredDay> Flex_Form::Gem_Registrering() {
    const std::int32_t shift = day_.shiftUntil(Gaa_CT, platform_.currentDateTime());
    if (const auto refusal = departureRefusal(Komme_CT(), Gaa_CT, shift)) {
        refuse(*refusal);
        return std::nullopt;
    }
    return appendDay(currentDateText(), Komme_CT(), Gaa_CT, shift);
}

// A closed day's record with this date, on the file's last figures.
std::optional<Flex_Form::RegisteredDay> Flex_Form::appendDay(const QString& date,
                                                             std::int32_t kommeCT,
                                                             std::int32_t gaaCT,
                                                             std::int32_t shift) {
    std::optional<ClosedDay> day;
    const auto reread = append([&](const Figures& before) {
        day = closeDay(before, kommeCT, gaaCT, lunch(), Arbejdstimer, shift);
        return day ? QStringList{dayRecord(date, day->after, kommeCT, gaaCT, day->tid)}
                   : QStringList();
    });
    if (!reread) {
        return std::nullopt;  // nothing written, and the user told why
    }
    if (!day) {
        refuse(dayTooLargeRefusal());
        return std::nullopt;
    }
    setFigures(day->after);
    showBalances();
    return RegisteredDay{day->tid, *reread};
}

// A file gone because another copy moved it while this one waited for its lock: the store
// names the new one, and the figures are read from it.
bool Flex_Form::followMovedFile() {
    const StoredSettings stored = store().readUserKey();
    if (!stored.filnavn || stored.filnavn->isEmpty() || *stored.filnavn == Filnavn) {
        return false;
    }
    followSettings(stored);
    return true;
}

// How this window appends: a file it has seen is never made again without its header, and the
// window goes on painting while another program holds the lock.
AppendOptions Flex_Form::appendOptions() {
    AppendOptions options;
    options.mustExist = fileSeen_;
    options.whileWaiting = [this] {
        waitingForLock_ = true;
        QCoreApplication::processEvents(QEventLoop::ExcludeUserInputEvents);
        waitingForLock_ = false;
    };
    return options;
}

// Appends what `build` makes of the figures under the file's lock, or ends the program on a file
// error. Whether the figures had to be read again first (another copy of the program, or the
// user, changed the file since this one read or wrote it); nothing when nothing was written
// because the file is locked, gone or no file, which the user is told, with the window kept.
std::optional<bool> Flex_Form::append(const std::function<QStringList(const Figures&)>& build,
                                      LastLineGap gap) {
    LockedAppend done = appendRecords(Filnavn, lastRecord_, figures(), build, appendOptions());
    if (!done.ok() && done.error().problem == FileProblem::Missing && followMovedFile()) {
        done = appendRecords(Filnavn, lastRecord_, figures(), build, appendOptions());
    }
    switch (done.ok() ? FileProblem::None : done.error().problem) {
        case FileProblem::None:
            break;
        case FileProblem::Locked:
            warn(lockedText());
            return std::nullopt;
        case FileProblem::Missing:
            refuse(missingFileText(Filnavn));
            return std::nullopt;
        case FileProblem::NotRegular:
            refuse(QStringLiteral("Registreringsfilen ") + Filnavn +
                   QStringLiteral(" kan ikke bruges: ") + notRegularText());
            return std::nullopt;
        case FileProblem::Failed:
        case FileProblem::Damaged:
            fileError(writingFailed(), done.error().text, gap);
    }
    fileSeen_ = true;
    lastRecord_ = done->last;
    if (done->reread) {
        setFigures(*done->reread);
        showBalances();
    }
    return done->reread.has_value();
}

}  // namespace horalog
