#pragma once

#include <QString>
#include <cstdint>
#include <optional>

#include "journal/journal_file.h"
#include "timekeeping/balance.h"

namespace horalog {

QString headerLine();
QString openingRecord(const QString& date, std::int32_t total);
QString dayRecord(const QString& date, const Figures& after, std::int32_t kommeCT,
                  std::int32_t gaaCT, std::int16_t tid);
QString timeOffRecord(const QString& date, const Figures& after, const QString& tidText,
                      const QString& comment);
QString resetRecord(const QString& date, std::int32_t total);

// Why the figures of a last record cannot be used.
QString lastRecordTooLarge(const QString& line);

enum class LineReading { TooFewFields, Read, OutOfRange };

// Fields 2, 6 and 7 of a record: the day count, the period sum and the balance.
LineReading figuresFromLine(const QString& line, Figures& figures);

// The figures of a registration file that exists: from its last line of seven fields, nothing
// when it has none. Not ok when the file cannot be read (problem as for readLastRecordLine) or
// that line holds a number too large for its column (Damaged); error then says why.
struct FileFigures {
    bool ok = true;
    QString error;
    std::optional<Figures> figures;
    std::optional<QString> line;  // the record they come from
    FileProblem problem = FileProblem::None;
};
FileFigures readFileFigures(const QString& path);

// A new registration file: the header and the opening record with the balance; the figures of
// the file that another copy of the program created a moment before, when it did. The options'
// wait and hook apply; the file is created whatever their mustExist.
FileFigures createRegistrationFile(const QString& path, const QString& date, std::int32_t total,
                                   const AppendOptions& options = {});

// The message before the program ends on a file error. The menu commands leave a blank line
// before its last line; the start-up and a closed day do not.
enum class LastLineGap { None, BlankLine };
QString fileErrorText(const QString& firstLine, const QString& path, const QString& error,
                      LastLineGap gap);
QString creatingFailed();  // «Fejl under oprettelse af filen: »
QString writingFailed();   // «Fejl under skrivning til filen: »
// The status line when another program changed the file and its figures were read again.
QString fileChangedNotice();
QString balanceQuestion();

}  // namespace horalog
