#pragma once

#include <QString>
#include <QStringList>
#include <QTimeZone>
#include <cstdint>
#include <deque>
#include <map>
#include <optional>
#include <utility>
#include <vector>

#include "journal/records.h"

namespace horalog {

// The registration file against the Danish working-time rules, in real time: looking back from
// each departure, 11 hours of rest in one piece within the 24 hours before it and 35 hours within
// the 7 x 24 hours before it (the time before the first record is rest), and at most 48 hours a
// week on average over each four-month reference period. Work is a record with both times.
// Entries are added in file order; the memory held is the findings, the work of the last week and
// one sum per period, so a file of millions of records reads in one pass.
class WorkingTimeCheck {
public:
    void add(const Entry& entry);
    // One Danish line a finding: the short daily rests, the short weekly rests, the long
    // periods, each in date order.
    QStringList findings() const;

private:
    // Times of work joined where they touch or overlap. Moments are minutes from Julian day 0:
    // in UTC to measure, on the wall clock to name.
    struct Block {
        qint64 from = 0;
        qint64 to = 0;
        qint64 fromWall = 0;
        qint64 toWall = 0;
    };
    struct DailyRest {
        qint64 date;     // the departure's
        qint64 minutes;  // the longest rest in the 24 hours before it
        qint64 until;    // the departure (wall clock)
        bool whole;      // the rest lies wholly in the 24 hours, between the two times below
        qint64 left;     // the departure before the rest (wall clock)
        qint64 arrived;  // the arrival after it
    };
    struct WeeklyRest {
        qint64 first;  // the first and last departure dates without the rest
        qint64 last;
        qint64 minutes;  // the shortest of their longest rests
    };
    // A time without work before a block: from the block before it, or before the file (not
    // known) for the first.
    struct Gap {
        bool known = false;
        qint64 from = 0;
        qint64 to = 0;
        qint64 fromWall = 0;
        qint64 toWall = 0;
        qint64 minutes() const { return to - from; }
    };
    // The gaps that reach into the window of `length` minutes before the last departure, and of
    // those wholly inside it the longest, so that looking back costs no more for a file of many
    // short records in a day than for one of a record a day.
    struct Window {
        qint64 length = 0;
        std::deque<Gap> reaching;  // in time order
        std::deque<Gap> longest;   // whole ones, in time order, each longer than those after it
        void add(const Gap& gap);
        // The longest rest in the `length` minutes up to `end`, and the gap when it lies whole.
        std::pair<qint64, const Gap*> before(qint64 end);
    };
    // Where the looking back stands and the findings so far: copied by findings() to look back
    // from the last blocks without changing the check, which may go on reading.
    struct Rests {
        std::deque<Block> blocks;  // the blocks not yet looked back from, in time order, disjoint
        bool started = false;      // a record of work has been read, so lastDate holds
        bool ended = false;        // a block has been looked back from, ending at:
        qint64 lastEnd = 0;
        qint64 lastEndWall = 0;
        qint64 lastDate = 0;  // the date of the last record of work
        Window day{24 * 60, {}, {}};
        Window week{7 * 24 * 60, {}, {}};
        std::optional<DailyRest> shortest;  // the shortest rest of the last departure date
        std::optional<WeeklyRest> run;      // the departures so far in a row without a weekly rest
        std::vector<DailyRest> daily;
        std::vector<WeeklyRest> weekly;
    };
    // The span of wall-clock time in which the local clock keeps one offset from UTC, as last
    // looked up: the clock changes twice a year, so a file of many years asks the zone rarely.
    struct ZoneSpan {
        bool known = false;
        qint64 fromWall = 0;
        qint64 toWall = 0;
        qint64 offset = 0;  // minutes
    };
    qint64 utcOf(qint64 wall);
    static void insert(Rests& rests, const Block& block);
    static void checkUpTo(Rests& rests, qint64 before);
    static void lookBack(Rests& rests, const Block& block);
    static void finish(Rests& rests);

    Rests rests_;
    QTimeZone zone_ = QTimeZone::systemTimeZone();
    ZoneSpan span_;
    std::map<int, std::int64_t> periods_;  // centi-hours by year * 3 + the period within the year
    bool dated_ = false;                   // some record had a valid date, so first_ holds
    qint64 first_ = 0;
};

// The line shown when nothing exceeds the limits.
QString noFindings();

// What the check holds the file against, and what it cannot know, as --help and the overview say.
QString checkedRules();

}  // namespace horalog
