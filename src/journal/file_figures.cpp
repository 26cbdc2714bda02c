#include "journal/file_figures.h"

#include <algorithm>

#include "journal/record.h"
#include "timekeeping/open_day.h"

namespace horalog {

FileFigures readFileFigures(const QString& path) {
    const auto last = readLastRecordLine(path);
    if (!last.ok()) {
        return last.failure<RecordFigures>();
    }
    if (!*last) {
        return RecordFigures{};
    }
    const QString& line = **last;
    const auto read = figuresFromLine(line);
    if (!read.ok()) {
        return FileFigures::failed({FileProblem::Damaged, read.error()});
    }
    return RecordFigures{*read, line};
}

FileFigures createRegistrationFile(const QString& path, const QString& date, std::int32_t total,
                                   const AppendOptions& options) {
    AppendOptions creating = options;
    creating.mustExist = false;
    const auto created = createFile(path, {headerLine(), openingRecord(date, total)}, creating);
    if (!created.ok()) {
        return created.failure<RecordFigures>();
    }
    if (*created == Created::Elsewhere) {
        FileFigures read = readFileFigures(path);
        if (read.ok()) {
            read->createdElsewhere = true;
        }
        return read;
    }
    return RecordFigures{Figures{0, 0, total}, openingRecord(date, total)};
}

bool fileClosesArrival(const QString& path, const StoredArrival& stored, const QString& pattern,
                       std::optional<qint64> sizeAtArrival) {
    if (!sizeAtArrival || !registrationFileExists(path)) {
        return false;
    }
    const auto appended = readRecordLinesSince(path, *sizeAtArrival);
    return appended.ok() &&
           std::any_of(appended->begin(), appended->end(), [&](const QString& record) {
               return recordClosesArrival(record, stored, pattern);
           });
}

}  // namespace horalog
