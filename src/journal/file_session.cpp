#include "journal/file_session.h"

#include "journal/record.h"

namespace horalog {

void FileSession::setPath(const QString& path) {
    if (path == path_) {
        return;
    }
    path_ = path;
    seen_ = registrationFileExists(path);
    stamp_.reset();
}

void FileSession::take(const RecordFigures& read) {
    if (read.figures) {
        figures_ = *read.figures;
    }
    lastRecord_ = read.line;
    seen_ = true;
}

FileOutcome FileSession::read() {
    const FileFigures read = readFileFigures(path_);
    if (!read.ok()) {
        return read.failure<void>();
    }
    take(*read);
    return {};
}

FileResult<Created> FileSession::create(const QString& date, std::int32_t balance,
                                        const AppendOptions& options) {
    const FileFigures created = createRegistrationFile(path_, date, balance, options);
    if (!created.ok()) {
        return created.failure<Created>();
    }
    take(*created);
    return created->createdElsewhere ? Created::Elsewhere : Created::Here;
}

AppendOutcome FileSession::append(const BuildRecords& build, AppendOptions options) {
    options.mustExist = seen_;
    return write(build, options);
}

AppendOutcome FileSession::write(const BuildRecords& build, const AppendOptions& options) {
    std::optional<NewRecords> made;
    const LockedAppend done = appendRecords(
        path_, lastRecord_, figures_,
        [&](const Figures& before) {
            made = build(before);
            return made ? made->lines : QStringList();
        },
        options);
    if (!done.ok()) {
        failure_ = done.error().text;
        switch (done.error().problem) {
            case FileProblem::Locked:
                return AppendOutcome::Locked;
            case FileProblem::Missing:
                return AppendOutcome::Missing;
            case FileProblem::NotRegular:
                return AppendOutcome::NotRegular;
            default:
                return AppendOutcome::Failed;
        }
    }
    seen_ = true;
    lastRecord_ = done->last;
    if (done->reread) {
        figures_ = *done->reread;
    }
    if (!made) {
        return AppendOutcome::Refused;
    }
    figures_ = made->after;
    return done->reread ? AppendOutcome::WrittenOnFiguresReadAgain : AppendOutcome::Written;
}

AppendOutcome FileSession::startNewPeriod(const QString& date, std::int32_t balance,
                                          AppendOptions options) {
    newPeriod_ = false;
    options.mustExist = false;
    return write(
        [&](const Figures&) {
            return NewRecords{{headerLine(), openingRecord(date, balance)}, {0, 0, balance}};
        },
        options);
}

bool FileSession::reread() {
    const FileFigures read = readFileFigures(path_);
    stamp_ = fileStamp(path_);
    if (!read.ok() || !read->figures || read->line == lastRecord_) {
        return false;
    }
    lastRecord_ = read->line;
    figures_ = *read->figures;
    return true;
}

bool FileSession::followChanges() {
    const std::optional<FileStamp> now = fileStamp(path_);
    return now && now != stamp_ && reread();
}

}  // namespace horalog
