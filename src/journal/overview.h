#pragma once

#include <QDate>
#include <QString>
#include <QStringList>
#include <atomic>
#include <cstdint>
#include <functional>
#include <map>
#include <optional>
#include <vector>

#include "journal/records.h"
#include "journal/report.h"

namespace horalog {

// An ISO week of the chart: its Monday, the centi-hours worked in it and the days with work.
struct ChartWeek {
    QDate monday;
    std::int64_t worked = 0;
    int days = 0;
    bool operator==(const ChartWeek&) const = default;
};

// What the overview's chart shows of a span of dates: the flex total at the end of each day with
// a record in it (the line runs flat over the days between), the total the span starts with, and
// the weeks that overlap it.
struct ChartData {
    QDate from;
    QDate to;
    std::optional<std::int32_t> startTotal;  // the last total before `from`
    std::vector<std::pair<QDate, std::int32_t>> flex;
    std::vector<ChartWeek> weeks;
};

// The week's norm: the daily hours times the days worked.
std::int64_t weekNorm(const ChartWeek& week, float arbejdstimer);

// The twelve months up to and including today.
QDate chartStart(const QDate& today);

// Collects the chart's data from the records in file order; a record out of date order (a line
// corrected by hand) still counts on its own date.
class ChartCollector {
public:
    ChartCollector(const QDate& from, const QDate& to);
    void add(const Entry& entry);
    ChartData data() const;

private:
    QDate from_;
    QDate to_;
    QDate firstMonday_;
    QDate beforeDate_;  // the date of the start total's record
    std::optional<std::int32_t> startTotal_;
    std::map<QDate, std::int32_t> flex_;
    struct Week {
        std::int64_t worked = 0;
        std::uint8_t days = 0;  // a bit for each weekday with work
    };
    std::map<QDate, Week> weeks_;
};

// Everything the overview shows, read in one pass over the file.
struct Overview {
    ChartData chart;
    MonthlyReport months;
    QStringList findings;
};

// Reads the file for the overview of the span from `from` to `to`; `progress` hears the bytes
// read and the file's size; `stop`, once set, ends the reading. Not ok, with the error (none when
// stopped), when the file cannot be read.
FileResult<Overview> readOverview(const QString& path, const QDate& from, const QDate& to,
                                  const std::function<void(qint64, qint64)>& progress = {},
                                  const std::atomic<bool>* stop = nullptr);

}  // namespace horalog
