#pragma once

#include <QDate>
#include <QString>
#include <QStringList>
#include <cstdint>
#include <functional>
#include <string_view>

#include "journal/journal_file.h"

namespace horalog {

// A record of the registration file as the report, the overview and the working-time check read
// it: its kind told by its fields (never by a comment's words), its date whole, the times of a
// working day, and its figures.
struct Entry {
    enum class Kind {
        Work,     // a day with arrival and departure
        TimeOff,  // hours off in lieu: no times, the hours in the worked column
        Reset,    // a period closed: day 0, no times, period 0, a comment field
        Opening,  // a file's or a period's opening record, and any other record without times
    };
    Kind kind = Kind::Opening;
    int month = 0;       // year * 100 + month
    QDate date;          // invalid for a day the month does not have (a hand-edited «31-02-2026»)
    int arrival = -1;    // minutes after midnight; -1 when the field is no clock time
    int departure = -1;  // the same; an arrival later than the departure was on the day before
    std::int64_t worked = 0;  // centi-hours: the day's worked time, or the hours taken off
    std::int16_t dage = 0;
    std::int32_t sum = 0;
    std::int32_t total = 0;
};

// The date of a record: the day first and the year last, 1-2 digits, a separator, 1-2 digits, a
// separator, 2-4 digits (a two-digit year is 2000-2068 below 69 and 1969-1999 from there, as
// strptime reads it). Month 0 when it is no such date.
struct RecordDate {
    int month = 0;  // year * 100 + month
    QDate date;
};
RecordDate recordDate(std::string_view field);

// Reads one line's Windows-1252 bytes (without its line end) as a record. Lines that are no
// records (the header, blank or short lines) are passed over as the program's reading passes
// them; a record whose figures cannot be read is named by its line number.
class RecordReader {
public:
    explicit RecordReader(std::function<void(const Entry&)> add) : add_(std::move(add)) {}
    void addLine(std::string_view line);
    const QStringList& unreadable() const { return unreadable_; }

private:
    std::function<void(const Entry&)> add_;
    QStringList unreadable_;
    qint64 lineNumber_ = 0;
};

// Reads the file front to back, a line at a time, however its lines end (CR LF, LF or a lone CR);
// `progress` hears the bytes read so far and the file's size, and ends the reading by answering
// false. Not ok, with the error to tell (none when stopped), when the file cannot be read.
FileOutcome readFileLines(const QString& path, const std::function<void(std::string_view)>& addLine,
                          const std::function<bool(qint64 read, qint64 size)>& progress = {});

}  // namespace horalog
