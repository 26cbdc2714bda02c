#pragma once

#include <QDate>
#include <QString>
#include <QStringList>
#include <cstdint>
#include <functional>
#include <optional>
#include <string_view>
#include <vector>

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

// A line's first eight fields as the program wrote them or a spreadsheet saved them: a
// byte-order mark before the line and double quotes around a field are taken off. `count` is
// at most 8; 8 when the line has a comment field, empty or not.
struct RecordFields {
    std::string_view field[8];
    std::size_t count = 0;
    bool isHeader() const { return count >= 7 && field[0] == "dato"; }
};
RecordFields recordFields(std::string_view line);

// A whole figure as the program writes it: a sign, then digits and nothing else; nothing when it
// is not one. A figure beyond any column's range reads as a value beyond it, never wrapped.
std::optional<std::int64_t> wholeFigure(std::string_view field);

// The lines a reading passed over because it could not read them: the first few by number, and
// how many there were, so that a file of nothing else costs no more memory than a good one.
class UnreadableLines {
public:
    static constexpr std::size_t kNamed = 20;
    void add(qint64 line);
    const std::vector<qint64>& first() const { return first_; }
    qint64 count() const { return count_; }

private:
    std::vector<qint64> first_;
    qint64 count_ = 0;
};

// One line for each line named, then «… og 7.099.980 linjer mere» for the rest.
QStringList unreadableMessages(const UnreadableLines& lines);
// «N linjer i registreringsfilen kunne ikke læses (første: linje 84).»; empty when none.
QString unreadableNote(const UnreadableLines& lines);

// Reads one line's Windows-1252 bytes (without its line end) as a record. Lines that are no
// records (the header, blank or short lines) are passed over as the program's reading passes
// them; a record whose figures cannot be read, and a line longer than any record
// (kLongestLine), is counted unreadable by its line number.
class RecordReader {
public:
    explicit RecordReader(std::function<void(const Entry&)> add) : add_(std::move(add)) {}
    void addLine(std::string_view line);
    const UnreadableLines& unreadable() const { return unreadable_; }

private:
    std::function<void(const Entry&)> add_;
    UnreadableLines unreadable_;
    qint64 lineNumber_ = 0;
};

// Reads the file front to back, a line at a time, however its lines end (CR LF, LF or a lone CR);
// a line longer than kLongestLine is handed over cut one byte beyond it, never held whole.
// `progress` hears the bytes read so far and the file's size, and ends the reading by answering
// false. Not ok, with the error to tell (none when stopped), when the file cannot be read.
FileOutcome readFileLines(const QString& path, const std::function<void(std::string_view)>& addLine,
                          const std::function<bool(qint64 read, qint64 size)>& progress = {});

}  // namespace horalog
