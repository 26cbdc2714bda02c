#include "journal/overview.h"

#include <bit>
#include <cmath>

#include "journal/limits.h"

namespace horalog {

std::int64_t weekNorm(const ChartWeek& week, float arbejdstimer) {
    return std::llround(static_cast<double>(arbejdstimer) * 100.0 * week.days);
}

QDate chartStart(const QDate& today) {
    return today.addMonths(-12).addDays(1);
}

ChartCollector::ChartCollector(const QDate& from, const QDate& to)
    : from_(from), to_(to), firstMonday_(from.addDays(1 - from.dayOfWeek())) {}

void ChartCollector::add(const Entry& entry) {
    const QDate& date = entry.date;
    if (!date.isValid() || date > to_) {
        return;
    }
    if (date < from_) {
        if (!startTotal_ || date >= beforeDate_) {
            startTotal_ = entry.total;
            beforeDate_ = date;
        }
    } else {
        flex_[date] = entry.total;
    }
    if (entry.kind == Entry::Kind::Work && date >= firstMonday_) {
        Week& week = weeks_[date.addDays(1 - date.dayOfWeek())];
        week.worked += entry.worked;
        week.days = static_cast<std::uint8_t>(week.days | (1U << (date.dayOfWeek() - 1)));
    }
}

ChartData ChartCollector::data() const {
    ChartData data;
    data.from = from_;
    data.to = to_;
    data.startTotal = startTotal_;
    data.flex.assign(flex_.begin(), flex_.end());
    for (const auto& [monday, week] : weeks_) {
        data.weeks.push_back({monday, week.worked, std::popcount(week.days)});
    }
    return data;
}

FileResult<Overview> readOverview(const QString& path, const QDate& from, const QDate& to,
                                  const std::function<void(qint64, qint64)>& progress,
                                  const std::atomic<bool>* stop) {
    Overview overview;
    ChartCollector chart(from, to);
    WorkingTimeCheck check;
    RecordReader reader([&](const Entry& e) {
        chart.add(e);
        overview.months.add(e);
        check.add(e);
    });
    const FileOutcome read = readFileLines(
        path, [&reader](std::string_view line) { reader.addLine(line); },
        [&](qint64 done, qint64 size) {
            if (progress) {
                progress(done, size);
            }
            return stop == nullptr || !stop->load();
        });
    if (!read.ok()) {
        return read.failure<Overview>();
    }
    overview.chart = chart.data();
    overview.findings = check.findings();
    overview.months.setUnreadable(reader.unreadable());
    return overview;
}

}  // namespace horalog
