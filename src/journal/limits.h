#pragma once

#include <QString>
#include <QStringList>
#include <cstdint>
#include <limits>
#include <map>
#include <vector>

#include "journal/records.h"

namespace horalog {

// The registration file against the Danish working-time limits: 11 hours' rest between working
// days, at most 48 hours in an ISO week and on average over each four-month span, and 24 hours'
// rest within every 7 days. Entries are added in file order; the memory held is the findings and
// one sum per week and per span, so a file of millions of records reads in one pass.
class WorkingTimeCheck {
public:
    void add(const Entry& entry);
    // One Danish line a finding: the short rests, the long weeks, the long spans, the runs
    // without a day's rest, each in date order.
    QStringList findings() const;

private:
    // Moments are wall-clock minutes counted from Julian day 0: cheap to compare and subtract,
    // with the local clock consulted only for a rest near its limit.
    struct Day {
        qint64 date = 0;   // the record date, as a Julian day
        qint64 start = 0;  // the earliest arrival
        qint64 end = 0;    // the latest departure
        bool timed = false;
    };
    struct Rest {
        qint64 date;  // the record date of the day after it
        qint64 minutes;
        qint64 from;  // the departure before it
        qint64 to;    // the arrival after it
    };
    struct Run {
        qint64 first;  // Julian days, both counted
        qint64 last;
    };
    // The local clock's offset from UTC at noon of every eighth day, as far as looked up: a rest
    // with the same offset some days either side of it had no change of the clock in it, which
    // spares the slow local-time conversions for a file of many short rests.
    struct Offsets {
        qint64 block[8] = {};
        int seconds[8] = {};
        bool known[8] = {};
        int at(qint64 eighth);
    };
    // Where the working days stand: copied by findings() to close the last day without
    // changing the check, which may go on reading.
    struct Days {
        bool open = false;  // a working day is being gathered
        Day day;
        bool ended = false;  // a timed day has been closed, so the three below hold
        qint64 lastDate = 0;
        qint64 lastEnd = 0;
        qint64 runFirst = 0;
        std::vector<Rest> rests;
        std::vector<Run> runs;
        Offsets offsets;
    };
    static qint64 restMinutes(Offsets& offsets, qint64 from, qint64 to);
    static void closeDay(Days& days);
    static void closeRun(Days& days);

    Days days_;
    std::map<qint64, std::int64_t> weeks_;  // centi-hours by the Julian day of the week's Monday
    std::map<int, std::int64_t> spans_;     // centi-hours by year * 3 + the span within the year
    qint64 lastDate_ = std::numeric_limits<qint64>::min();  // the day the keys below are for
    qint64 lastWeek_ = 0;
    int lastSpan_ = 0;
    bool dated_ = false;  // some record had a valid date, so first_ and last_ hold
    qint64 first_ = 0;
    qint64 last_ = 0;
};

// The line shown when nothing exceeds the limits.
QString noFindings();

}  // namespace horalog
