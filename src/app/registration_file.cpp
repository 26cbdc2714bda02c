// Reading the figures from the registration file, or creating it on first use, and appending
// the record of a closed day.
#include <QCoreApplication>

#include "app/flex_form.h"
#include "journal/file_figures.h"
#include "journal/file_messages.h"
#include "journal/journal_file.h"
#include "journal/record.h"
#include "text/number_text.h"

namespace horalog {

void Flex_Form::Laes_Registrering() {
    if (registrationPathKind(Filnavn) == PathKind::NotRegular) {
        fileError(creatingFailed(), notRegularText(), LastLineGap::None);
    }
    if (registrationFileExists(Filnavn) && !file_.newPeriodDue()) {
        if (const FileOutcome read = file_.read(); !read.ok()) {
            fileError(creatingFailed(), read.error().text, LastLineGap::None);
        }
        return;
    }
    std::optional<std::int32_t> balance;
    while (!balance) {
        const QString answer = platform_.ask(this, balanceQuestion());
        balance = readInt32(answer);
        if (!balance) {
            refuse(balanceTooLarge(answer));
        }
    }
    if (file_.newPeriodDue()) {
        // As for a file the program could not see: the header and the opening record go at its
        // end, and the figures start again from the balance given. Only a lock is waited out.
        while (told(file_.startNewPeriod(currentDateText(), *balance, appendOptions()),
                    LastLineGap::None) == AppendOutcome::Locked) {
        }
        return;
    }
    for (;;) {
        const FileResult<Created> created =
            file_.create(currentDateText(), *balance, appendOptions());
        if (created.ok()) {
            if (*created == Created::Elsewhere) {
                platform_.tell(this, createdElsewhereNotice(figures().total));
            }
            return;
        }
        if (created.error().problem != FileProblem::Locked) {
            fileError(creatingFailed(), created.error().text, LastLineGap::None);
        }
        warn(lockedText());  // tried again once the user has read it
    }
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
    std::int16_t worked = 0;
    const AppendOutcome done = append([&](const Figures& before) -> std::optional<NewRecords> {
        const auto day = closeDay(before, kommeCT, gaaCT, lunch(), Arbejdstimer, shift);
        if (!day) {
            return std::nullopt;
        }
        worked = day->tid;
        return NewRecords{{dayRecord(date, day->after, kommeCT, gaaCT, day->tid)}, day->after};
    });
    if (done == AppendOutcome::Refused) {
        refuse(dayTooLargeRefusal());
    }
    if (done != AppendOutcome::Written && done != AppendOutcome::WrittenOnFiguresReadAgain) {
        return std::nullopt;  // nothing written, and the user told why
    }
    return RegisteredDay{worked, done == AppendOutcome::WrittenOnFiguresReadAgain};
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

// The window goes on painting while another program holds the file's lock.
AppendOptions Flex_Form::appendOptions() {
    AppendOptions options;
    options.whileWaiting = [this] {
        waitingForLock_ = true;
        QCoreApplication::processEvents(QEventLoop::ExcludeUserInputEvents);
        waitingForLock_ = false;
    };
    return options;
}

// Appends what `build` makes of the file's last figures, following the file to where another
// copy moved it.
AppendOutcome Flex_Form::append(const BuildRecords& build, LastLineGap gap) {
    AppendOutcome done = file_.append(build, appendOptions());
    if (done == AppendOutcome::Missing && followMovedFile()) {
        done = file_.append(build, appendOptions());
    }
    return told(done, gap);
}

// What the user sees of an append: the figures it leaves, or why nothing was written, with the
// window kept; a file error ends the program.
AppendOutcome Flex_Form::told(AppendOutcome done, LastLineGap gap) {
    switch (done) {
        case AppendOutcome::Written:
        case AppendOutcome::WrittenOnFiguresReadAgain:
        case AppendOutcome::Refused:
            showBalances();
            break;
        case AppendOutcome::Locked:
            warn(lockedText());
            break;
        case AppendOutcome::Missing:
            refuse(missingFileText(Filnavn));
            break;
        case AppendOutcome::NotRegular:
            refuse(unusableFileText(Filnavn));
            break;
        case AppendOutcome::Failed:
            fileError(writingFailed(), file_.failure(), gap);
    }
    return done;
}

}  // namespace horalog
