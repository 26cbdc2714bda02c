#pragma once

#include <QString>
#include <QStringList>
#include <cstdint>
#include <map>

#include "journal/records.h"

namespace horalog {

// One month of the registration file.
struct MonthFigures {
    int workingDays = 0;
    std::int64_t worked = 0;   // centi-hours of the day records
    std::int64_t timeOff = 0;  // centi-hours taken off in lieu
    int resets = 0;
    std::int32_t flexAtEnd = 0;  // the balance of the month's last record
};

// The registration file by month, its records added in the order the file holds them; a record
// that cannot be read is counted, the first few by their line numbers.
class MonthlyReport {
public:
    void add(const Entry& entry);
    void setUnreadable(const UnreadableLines& lines) { unreadable_ = lines; }
    const UnreadableLines& unreadable() const { return unreadable_; }

    QString table() const;
    QString csv() const;

private:
    std::map<int, MonthFigures> months_;  // by year * 100 + month, so in calendar order
    UnreadableLines unreadable_;
};

// Reads the file front to back into the report; not ok, with the error, when it cannot be read.
FileResult<MonthlyReport> readReport(const QString& path);

}  // namespace horalog
