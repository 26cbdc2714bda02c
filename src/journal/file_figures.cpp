#include "journal/file_figures.h"

#include "journal/record.h"

namespace horalog {

FileFigures readFileFigures(const QString& path) {
    const LastRecord last = readLastRecordLine(path);
    if (!last.outcome.ok) {
        return {false, last.outcome.error, std::nullopt, std::nullopt, last.outcome.problem};
    }
    if (!last.line) {
        return {};
    }
    Figures read;
    if (figuresFromLine(*last.line, read) == LineReading::OutOfRange) {
        return {false, lastRecordTooLarge(*last.line), std::nullopt, std::nullopt,
                FileProblem::Damaged};
    }
    return {true, QString(), read, last.line};
}

FileFigures createRegistrationFile(const QString& path, const QString& date, std::int32_t total,
                                   const AppendOptions& options) {
    AppendOptions creating = options;
    creating.mustExist = false;
    bool createdElsewhere = false;
    const FileOutcome written =
        createFile(path, {headerLine(), openingRecord(date, total)}, createdElsewhere, creating);
    if (!written.ok) {
        return {false, written.error, std::nullopt, std::nullopt, written.problem};
    }
    if (createdElsewhere) {
        return readFileFigures(path);
    }
    return {true, QString(), Figures{0, 0, total}, openingRecord(date, total)};
}

}  // namespace horalog
