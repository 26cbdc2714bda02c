#include "journal/limits.h"

#include <QDateTime>
#include <algorithm>
#include <iterator>
#include <limits>

namespace horalog {

namespace {

constexpr qint64 kDay = 24 * 60;
constexpr qint64 kDailyRest = 11 * 60;
constexpr qint64 kWeeklyRest = 35 * 60;
constexpr std::int64_t kWeekLimit = 4800;  // centi-hours
// A record dated d starts no earlier than midnight before d (a night shift); a block ending this
// long before that, however the clock changed, can grow no more.
constexpr qint64 kSettled = 3 * 60;

constexpr qint64 kEpoch = 2440588;  // 01-01-1970 as a Julian day

qint64 floorDiv(qint64 a, qint64 b) {
    return a / b - (a % b < 0 ? 1 : 0);
}

qint64 ceilDiv(qint64 a, qint64 b) {
    return -floorDiv(-a, b);
}

// The findings are put together by hand rather than with QString::arg, which reads its pattern
// each time: a large file's findings run to a hundred thousand lines and more.
void appendNumber(QString& out, qint64 value, int width = 1) {
    if (value < 0) {
        out += QLatin1Char('-');
        value = -value;
    }
    char digits[20];
    int count = 0;
    do {
        digits[count++] = static_cast<char>('0' + value % 10);
        value /= 10;
    } while (value > 0 || count < width);
    while (count > 0) {
        out += QLatin1Char(digits[--count]);
    }
}

void appendDate(QString& out, qint64 julianDay) {
    int year = 0;
    int month = 0;
    int day = 0;
    QDate::fromJulianDay(julianDay).getDate(&year, &month, &day);
    appendNumber(out, day, 2);
    out += QLatin1Char('-');
    appendNumber(out, month, 2);
    out += QLatin1Char('-');
    appendNumber(out, year, 4);
}

void appendClock(QString& out, qint64 moment) {
    const qint64 minutes = moment - floorDiv(moment, kDay) * kDay;
    appendNumber(out, minutes / 60, 2);
    out += QLatin1Char(':');
    appendNumber(out, minutes % 60, 2);
}

// «9:30», «49:00»: the hours as many as there are.
void appendDuration(QString& out, qint64 minutes) {
    if (minutes < 0) {
        out += QLatin1Char('-');
        minutes = -minutes;
    }
    appendNumber(out, minutes / 60);
    out += QLatin1Char(':');
    appendNumber(out, minutes % 60, 2);
}

}  // namespace

void WorkingTimeCheck::add(const Entry& e) {
    if (!e.date.isValid()) {
        return;
    }
    const qint64 date = e.date.toJulianDay();
    first_ = dated_ ? std::min(first_, date) : date;
    dated_ = true;
    if (e.kind != Entry::Kind::Work || e.arrival < 0 || e.departure < 0) {
        return;
    }
    // The file runs in date order, so the sum is nearly always the map's last one.
    const int period = e.month / 100 * 3 + (e.month % 100 - 1) / 4;
    periods_.try_emplace(periods_.empty() ? periods_.end() : std::prev(periods_.end()), period)
        ->second += e.worked;

    if (rests_.started && date < rests_.lastDate) {
        // A day put back by hand among later ones: the time since their end is no rest, so its
        // days are looked back over as a file of their own.
        finish(rests_);
        rests_.ended = false;
        rests_.day.reaching.clear();
        rests_.day.longest.clear();
        rests_.week.reaching.clear();
        rests_.week.longest.clear();
    } else {
        checkUpTo(rests_, utcOf((date - 1) * kDay) - kSettled);
    }
    rests_.started = true;
    rests_.lastDate = date;
    // A departure at or before its arrival is the next day: the record carries the departure's.
    const qint64 from = (e.arrival >= e.departure ? date - 1 : date) * kDay + e.arrival;
    const qint64 to = date * kDay + e.departure;
    insert(rests_, {utcOf(from), utcOf(to), from, to});
}

// A clock time the spring change skips, or one the autumn change repeats, is read as the zone
// reads it.
qint64 WorkingTimeCheck::utcOf(qint64 wall) {
    if (span_.known && wall >= span_.fromWall && wall < span_.toWall) {
        return wall - span_.offset;
    }
    const qint64 minutes = wall - floorDiv(wall, kDay) * kDay;
    const QDateTime local(QDate::fromJulianDay(floorDiv(wall, kDay)),
                          QTime(static_cast<int>(minutes / 60), static_cast<int>(minutes % 60)),
                          zone_);
    const qint64 offset =
        local.isValid() ? local.offsetFromUtc() / 60 : (span_.known ? span_.offset : 0);
    const qint64 utc = wall - offset;
    const QDateTime at =
        QDateTime::fromSecsSinceEpoch((utc - kEpoch * kDay) * 60, QTimeZone::utc());
    span_.known = zone_.offsetFromUtc(at) / 60 == offset;
    span_.fromWall = std::numeric_limits<qint64>::min();
    span_.toWall = std::numeric_limits<qint64>::max();
    span_.offset = offset;
    if (span_.known && zone_.hasTransitions()) {
        const auto minutesOf = [](const QDateTime& t) {
            return t.toSecsSinceEpoch() / 60 + kEpoch * kDay;
        };
        if (const auto before = zone_.previousTransition(at.addSecs(1)); before.atUtc.isValid()) {
            span_.fromWall = minutesOf(before.atUtc) + offset;
        }
        if (const auto after = zone_.nextTransition(at); after.atUtc.isValid()) {
            span_.toWall = minutesOf(after.atUtc) + offset;
        }
    }
    return utc;
}

void WorkingTimeCheck::insert(Rests& rests, const Block& block) {
    auto& blocks = rests.blocks;
    auto at = blocks.end();
    while (at != blocks.begin() && std::prev(at)->from > block.from) {
        --at;
    }
    if (at != blocks.begin() && std::prev(at)->to >= block.from) {
        --at;  // joined to the work before it
        if (block.to > at->to) {
            at->to = block.to;
            at->toWall = block.toWall;
        }
    } else {
        at = blocks.insert(at, block);
    }
    // Work after it that the block reaches is the same stretch of work.
    while (std::next(at) != blocks.end() && std::next(at)->from <= at->to) {
        if (std::next(at)->to > at->to) {
            at->to = std::next(at)->to;
            at->toWall = std::next(at)->toWall;
        }
        blocks.erase(std::next(at));
    }
}

void WorkingTimeCheck::checkUpTo(Rests& rests, qint64 before) {
    while (!rests.blocks.empty() && rests.blocks.front().to < before) {
        lookBack(rests, rests.blocks.front());
        rests.blocks.pop_front();
    }
}

void WorkingTimeCheck::Window::add(const Gap& gap) {
    reaching.push_back(gap);
    if (gap.known) {
        while (!longest.empty() && longest.back().minutes() < gap.minutes()) {
            longest.pop_back();
        }
        longest.push_back(gap);
    }
}

std::pair<qint64, const WorkingTimeCheck::Gap*> WorkingTimeCheck::Window::before(qint64 end) {
    const qint64 start = end - length;
    while (!reaching.empty() && reaching.front().to <= start) {
        reaching.pop_front();
    }
    while (!longest.empty() && longest.front().from < start) {
        longest.pop_front();
    }
    // The gap the window begins in counts from the window's start; on a tie the earlier wins.
    const qint64 whole = longest.empty() ? -1 : longest.front().minutes();
    if (!reaching.empty() && (!reaching.front().known || reaching.front().from < start) &&
        reaching.front().to - start >= whole) {
        return {reaching.front().to - start, nullptr};
    }
    return whole < 0 ? std::pair<qint64, const Gap*>{0, nullptr}
                     : std::pair<qint64, const Gap*>{whole, &longest.front()};
}

// The longest rest in one piece in the 24 hours and in the 7 x 24 hours before the end of the
// block: the least within the work is at its end.
void WorkingTimeCheck::lookBack(Rests& rests, const Block& block) {
    const Gap gap{rests.ended, rests.lastEnd, block.from, rests.lastEndWall, block.fromWall};
    rests.day.add(gap);
    rests.week.add(gap);
    rests.ended = true;
    rests.lastEnd = block.to;
    rests.lastEndWall = block.toWall;

    const auto [minutes, whole] = rests.day.before(block.to);
    const DailyRest day{floorDiv(block.toWall, kDay),
                        minutes,
                        block.toWall,
                        whole != nullptr,
                        whole != nullptr ? whole->fromWall : 0,
                        whole != nullptr ? whole->toWall : 0};
    if (rests.shortest && rests.shortest->date != day.date) {
        rests.daily.push_back(*rests.shortest);
        rests.shortest.reset();
    }
    if (day.minutes < kDailyRest && (!rests.shortest || day.minutes < rests.shortest->minutes)) {
        rests.shortest = day;
    }
    const qint64 week = rests.week.before(block.to).first;
    if (week >= kWeeklyRest) {
        if (rests.run) {
            rests.weekly.push_back(*rests.run);
            rests.run.reset();
        }
    } else if (rests.run) {
        rests.run->last = day.date;
        rests.run->minutes = std::min(rests.run->minutes, week);
    } else {
        rests.run = WeeklyRest{day.date, day.date, week};
    }
}

void WorkingTimeCheck::finish(Rests& rests) {
    checkUpTo(rests, std::numeric_limits<qint64>::max());
    if (rests.shortest) {
        rests.daily.push_back(*rests.shortest);
        rests.shortest.reset();
    }
    if (rests.run) {
        rests.weekly.push_back(*rests.run);
        rests.run.reset();
    }
}

QStringList WorkingTimeCheck::findings() const {
    Rests rests = rests_;
    finish(rests);
    // A hand-edited file may hold days out of their place; their findings still go in date order.
    const auto byDate = [](const DailyRest& a, const DailyRest& b) { return a.date < b.date; };
    if (!std::is_sorted(rests.daily.begin(), rests.daily.end(), byDate)) {
        std::stable_sort(rests.daily.begin(), rests.daily.end(), byDate);
    }
    const auto byFirst = [](const WeeklyRest& a, const WeeklyRest& b) { return a.first < b.first; };
    if (!std::is_sorted(rests.weekly.begin(), rests.weekly.end(), byFirst)) {
        std::stable_sort(rests.weekly.begin(), rests.weekly.end(), byFirst);
    }

    QStringList out;
    QString line;
    const auto next = [&out, &line] {
        out << line;
        line = QString();
        line.reserve(80);
    };
    line.reserve(80);
    for (const DailyRest& r : rests.daily) {
        appendDate(line, r.date);
        line += QLatin1StringView(": ");
        appendDuration(line, r.minutes);
        if (r.whole) {
            line += QLatin1StringView(" hvile (gik ");
            appendClock(line, r.left);
            line += QLatin1StringView(" den ");
            appendDate(line, floorDiv(r.left, kDay));
            line += u", mødte ";
            appendClock(line, r.arrived);
            if (floorDiv(r.arrived, kDay) != r.date) {
                line += QLatin1StringView(" den ");
                appendDate(line, floorDiv(r.arrived, kDay));
            }
            line += QLatin1Char(')');
        } else {
            line += QLatin1StringView(" hvile i de 24 timer op til ");
            appendClock(line, r.until);
        }
        next();
    }
    for (const WeeklyRest& r : rests.weekly) {
        appendDate(line, r.first);
        if (r.last != r.first) {
            line += u" – ";
            appendDate(line, r.last);
        }
        line += u": under 35 timers sammenhængende hvile på 7 døgn (længst ";
        appendDuration(line, r.minutes);
        line += QLatin1Char(')');
        next();
    }
    for (const auto& [period, worked] : periods_) {
        // January-April, May-August, September-December, from the file's first record on. A
        // period still running counts all its weeks: it is a finding once the breach is certain.
        const int year = period / 3;
        const int month = period % 3 * 4 + 1;
        const qint64 from = std::max(first_, QDate(year, month, 1).toJulianDay());
        const qint64 to = QDate(year, month, 1).addMonths(4).toJulianDay() - 1;
        const qint64 length = to - from + 1;
        // A period cut to less than four weeks (a file begun lately) says no more than its weeks
        // do: one long day is no average.
        if (length >= 28 && worked * 7 > kWeekLimit * length) {
            appendDate(line, from);
            line += u" – ";
            appendDate(line, to);
            line += QLatin1StringView(": ");
            // Rounded up: 48:00 and a little is more than 48 hours.
            appendDuration(line, ceilDiv(worked * 7 * 60, length * 100));
            line += QLatin1StringView(" om ugen i gennemsnit (mere end 48 timer)");
            next();
        }
    }
    return out;
}

QString noFindings() {
    return QStringLiteral("Ingen overskridelser.");
}

QString checkedRules() {
    return QStringLiteral(
        "I virkelig tid: mindst 11 timers sammenhængende hvile i de 24 timer før hver gåtid og 35 "
        "timer i de 7 døgn før den, og højst 48 timer om ugen i gennemsnit over januar–april, "
        "maj–august og september–december. Overenskomster, rådighedsvagter og undtagelser kender "
        "filen ikke.");
}

}  // namespace horalog
