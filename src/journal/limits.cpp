#include "journal/limits.h"

#include <QDateTime>
#include <algorithm>
#include <iterator>

namespace horalog {

namespace {

constexpr qint64 kDay = 24 * 60;
constexpr qint64 kDailyRest = 11 * 60;
constexpr qint64 kWeeklyRest = 24 * 60;
constexpr std::int64_t kWeekLimit = 4800;  // centi-hours
constexpr qint64 kRunLimit = 7;            // days

qint64 floorDiv(qint64 a, qint64 b) {
    return a / b - (a % b < 0 ? 1 : 0);
}

// A rounded quotient of positive or negative figures, halves away from zero.
qint64 roundedDiv(qint64 a, qint64 b) {
    return a < 0 ? -((-a * 2 + b) / (b * 2)) : (a * 2 + b) / (b * 2);
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

QDateTime localTime(qint64 moment) {
    const qint64 minutes = moment - floorDiv(moment, kDay) * kDay;
    return QDateTime(QDate::fromJulianDay(floorDiv(moment, kDay)),
                     QTime(static_cast<int>(minutes / 60), static_cast<int>(minutes % 60)));
}

}  // namespace

void WorkingTimeCheck::add(const Entry& e) {
    if (!e.date.isValid()) {
        return;
    }
    const qint64 date = e.date.toJulianDay();
    first_ = dated_ ? std::min(first_, date) : date;
    last_ = dated_ ? std::max(last_, date) : date;
    dated_ = true;
    if (e.kind != Entry::Kind::Work) {
        return;
    }
    // The file runs in date order, so the keys are nearly always the last record's, and the
    // sums the maps' last ones.
    if (date != lastDate_) {
        lastDate_ = date;
        lastWeek_ = floorDiv(date, 7) * 7;  // Julian day 0 was a Monday
        lastSpan_ = e.date.year() * 3 + (e.date.month() - 1) / 4;
    }
    weeks_.try_emplace(weeks_.empty() ? weeks_.end() : std::prev(weeks_.end()), lastWeek_)
        ->second += e.worked;
    spans_.try_emplace(spans_.empty() ? spans_.end() : std::prev(spans_.end()), lastSpan_)
        ->second += e.worked;

    if (days_.open && days_.day.date != date) {
        closeDay(days_);
    }
    if (!days_.open) {
        days_.open = true;
        days_.day = Day{date, 0, 0, false};
    }
    if (e.arrival < 0 || e.departure < 0) {
        return;
    }
    // An arrival later in the day than the departure was the evening before.
    const qint64 start = (e.arrival > e.departure ? date - 1 : date) * kDay + e.arrival;
    const qint64 end = date * kDay + e.departure;
    Day& day = days_.day;
    day.start = day.timed ? std::min(day.start, start) : start;
    day.end = day.timed ? std::max(day.end, end) : end;
    day.timed = true;
}

int WorkingTimeCheck::Offsets::at(qint64 eighth) {
    const auto slot = static_cast<std::size_t>(eighth & 7);
    if (!known[slot] || block[slot] != eighth) {
        known[slot] = true;
        block[slot] = eighth;
        seconds[slot] = localTime(eighth * 8 * kDay + 12 * 60).offsetFromUtc();
    }
    return seconds[slot];
}

// The real time between two wall-clock moments. A change to or from summer time moves it by an
// hour, which only matters near the 11 hours; a clock time the spring change skips stays as read,
// and an overlap is one however the clock was set.
qint64 WorkingTimeCheck::restMinutes(Offsets& offsets, qint64 from, qint64 to) {
    const qint64 wall = to - from;
    if (wall < 0 || wall >= 12 * 60) {
        return wall;
    }
    // Noon of a day 1 to 8 days before the departure's and of one 2 to 9 days after the arrival's.
    if (offsets.at(floorDiv(floorDiv(from, kDay) - 1, 8)) ==
        offsets.at(floorDiv(floorDiv(to, kDay) + 1, 8) + 1)) {
        return wall;
    }
    const QDateTime departed = localTime(from);
    const QDateTime arrived = localTime(to);
    return departed.isValid() && arrived.isValid() ? departed.secsTo(arrived) / 60 : wall;
}

void WorkingTimeCheck::closeDay(Days& days) {
    days.open = false;
    const Day& day = days.day;
    if (!day.timed) {
        return;  // no times to rest between: the day neither starts nor breaks a run
    }
    if (days.ended && day.date >= days.lastDate) {
        const qint64 rest = restMinutes(days.offsets, days.lastEnd, day.start);
        if (rest < kDailyRest) {
            days.rests.push_back({day.date, rest, days.lastEnd, day.start});
        }
        if (rest >= kWeeklyRest) {
            closeRun(days);
            days.runFirst = floorDiv(day.start, kDay);
        }
        days.lastEnd = std::max(days.lastEnd, day.end);
    } else {
        // The first timed day, or one put back by hand among later ones (the time since their
        // end is no rest): a stretch of days of its own begins.
        closeRun(days);
        days.ended = true;
        days.runFirst = floorDiv(day.start, kDay);
        days.lastEnd = day.end;
    }
    days.lastDate = day.date;
}

void WorkingTimeCheck::closeRun(Days& days) {
    const qint64 last = floorDiv(days.lastEnd, kDay);
    if (days.ended && last - days.runFirst + 1 >= kRunLimit) {
        days.runs.push_back({days.runFirst, last});
    }
}

QStringList WorkingTimeCheck::findings() const {
    Days days = days_;
    if (days.open) {
        closeDay(days);
    }
    closeRun(days);
    // A hand-edited file may hold a day out of its place; its findings still go in date order.
    const auto byRestDate = [](const Rest& a, const Rest& b) { return a.date < b.date; };
    if (!std::is_sorted(days.rests.begin(), days.rests.end(), byRestDate)) {
        std::stable_sort(days.rests.begin(), days.rests.end(), byRestDate);
    }
    const auto byRunDate = [](const Run& a, const Run& b) { return a.first < b.first; };
    if (!std::is_sorted(days.runs.begin(), days.runs.end(), byRunDate)) {
        std::stable_sort(days.runs.begin(), days.runs.end(), byRunDate);
    }

    QStringList out;
    QString line;
    const auto next = [&out, &line] {
        out << line;
        line = QString();
        line.reserve(80);
    };
    line.reserve(80);
    for (const Rest& r : days.rests) {
        appendDate(line, r.date);
        line += QLatin1StringView(": ");
        appendDuration(line, r.minutes);
        line += QLatin1StringView(" hvile (gik ");
        appendClock(line, r.from);
        line += QLatin1StringView(" den ");
        appendDate(line, floorDiv(r.from, kDay));
        line += u", mødte ";
        appendClock(line, r.to);
        line += QLatin1Char(')');
        next();
    }
    for (const auto& [monday, worked] : weeks_) {
        if (worked > kWeekLimit) {
            int year = 0;
            const int week = QDate::fromJulianDay(monday).weekNumber(&year);
            line += QLatin1StringView("Uge ");
            appendNumber(line, week);
            line += QLatin1Char(' ');
            appendNumber(line, year);
            line += QLatin1StringView(": ");
            appendDuration(line, roundedDiv(worked * 60, 100));
            line += QLatin1StringView(" arbejdet (mere end 48 timer)");
            next();
        }
    }
    for (const auto& [span, worked] : spans_) {
        // January-April, May-August, September-December, within the file's own dates.
        const int year = span / 3;
        const int month = span % 3 * 4 + 1;
        const qint64 from = std::max(first_, QDate(year, month, 1).toJulianDay());
        const qint64 to = std::min(last_, QDate(year, month, 1).addMonths(4).toJulianDay() - 1);
        const qint64 length = to - from + 1;
        // A span cut to less than four weeks (a file begun lately) says no more than its weeks
        // do: one long day is no average.
        if (length >= 28 && worked * 7 > kWeekLimit * length) {
            appendDate(line, from);
            line += u" – ";
            appendDate(line, to);
            line += QLatin1StringView(": ");
            appendDuration(line, roundedDiv(worked * 7 * 60, length * 100));
            line += QLatin1StringView(" om ugen i gennemsnit (mere end 48 timer)");
            next();
        }
    }
    for (const Run& r : days.runs) {
        appendDate(line, r.first);
        line += u" – ";
        appendDate(line, r.last);
        line += QLatin1StringView(": ");
        appendNumber(line, r.last - r.first + 1);
        line += u" dage uden 24 timers sammenhængende hvile";
        next();
    }
    return out;
}

QString noFindings() {
    return QStringLiteral("Ingen overskridelser.");
}

}  // namespace horalog
