// Reading the figures from the registration file, or creating it on first use, and appending
// the record of a closed day.
#include <utility>

#include "app/flex_form.h"
#include "journal/journal_file.h"
#include "journal/record.h"
#include "text/number_text.h"

namespace horalog {

void Flex_Form::Laes_Registrering() {
    if (!registrationFileExists(Filnavn) || newPeriodInFile_) {
        std::optional<std::int32_t> balance;
        while (!balance) {
            const QString answer = platform_.inputBox(
                this, balanceQuestion(), QStringLiteral("Opstart Horalog"), QStringLiteral("0"));
            balance = readInt32(answer);
            if (!balance) {
                refuse(tooLargeRefusal(QStringLiteral("Saldoen"), answer));
            }
        }
        if (std::exchange(newPeriodInFile_, false)) {
            // As for a file the program could not see: the header and the opening record go at
            // its end, and the figures start again from the balance given.
            append([&](const Figures&) {
                return QStringList{headerLine(), openingRecord(currentDateText(), *balance)};
            });
            setFigures({0, 0, *balance});
            return;
        }
        const FileFigures created = createRegistrationFile(Filnavn, currentDateText(), *balance);
        if (!created.ok) {
            fileError(creatingFailed(), created.error, LastLineGap::None);
        }
        setFigures(*created.figures);
        lastRecord_ = created.line;
        return;
    }
    const FileFigures read = readFileFigures(Filnavn);
    if (!read.ok) {
        fileError(creatingFailed(), read.error, LastLineGap::None);
    }
    // A file without a record leaves the figures as they were.
    if (read.figures) {
        setFigures(*read.figures);
    }
    lastRecord_ = read.line;
}

std::optional<Flex_Form::RegisteredDay> Flex_Form::Gem_Registrering() {
    const std::int32_t shift = clockShiftTo(Gaa_CT);
    std::optional<ClosedDay> day;
    const bool reread = append([&](const Figures& before) {
        day = closeDay(before, Komme_CT, Gaa_CT, lunch(), Arbejdstimer, shift);
        return day ? QStringList{dayRecord(currentDateText(), day->after, Komme_CT, Gaa_CT,
                                           day->tid)}
                   : QStringList();
    });
    if (!day) {
        refuse(dayTooLargeRefusal());
        return std::nullopt;
    }
    setFigures(day->after);
    showBalances();
    return RegisteredDay{day->tid, reread};
}

// Appends what `build` makes of the figures under the file's lock, or ends the program on a file
// error. True when the figures had to be read again first: another copy of the program (or the
// user) changed the file since this one read or wrote it.
bool Flex_Form::append(const std::function<QStringList(const Figures&)>& build, LastLineGap gap) {
    const LockedAppend done = appendRecords(Filnavn, lastRecord_, figures(), build);
    if (!done.outcome.ok) {
        fileError(writingFailed(), done.outcome.error, gap);
    }
    lastRecord_ = done.last;
    if (done.reread) {
        setFigures(*done.reread);
        showBalances();
    }
    return done.reread.has_value();
}

}  // namespace horalog
