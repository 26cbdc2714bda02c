#include "journal/report.h"

#include <iterator>

namespace horalog {

namespace {

// A month's row, the amounts in centi-hours followed by the unit.
QStringList cellsOf(int month, const MonthFigures& m, const QString& unit) {
    return {QStringLiteral("%1-%2")
                .arg(month / 100, 4, 10, QLatin1Char('0'))
                .arg(month % 100, 2, 10, QLatin1Char('0')),
            QString::number(m.workingDays),
            QString::number(m.worked) + unit,
            QString::number(m.timeOff) + unit,
            QString::number(m.resets),
            QString::number(m.flexAtEnd) + unit};
}

}  // namespace

void MonthlyReport::add(const Entry& e) {
    // The file runs in date order, so the month is nearly always the last one, found at once.
    MonthFigures& m =
        months_.try_emplace(months_.empty() ? months_.end() : std::prev(months_.end()), e.month)
            ->second;
    m.flexAtEnd = e.total;
    switch (e.kind) {
        case Entry::Kind::Reset:
            ++m.resets;
            break;
        case Entry::Kind::Work:
            ++m.workingDays;
            m.worked += e.worked;
            break;
        case Entry::Kind::TimeOff:
            m.timeOff += e.worked;
            break;
        case Entry::Kind::Opening:
            break;
    }
}

QString MonthlyReport::table() const {
    const QStringList heads = {QStringLiteral("Måned"),         QStringLiteral("Arbejdsdage"),
                               QStringLiteral("Arbejdstid"),    QStringLiteral("Afspadsering"),
                               QStringLiteral("Nulstillinger"), QStringLiteral("Flex")};
    QString out;
    const auto row = [&out, &heads](const QStringList& cells) {
        for (qsizetype i = 0; i < cells.size(); ++i) {
            out += i == 0 ? cells[i].leftJustified(8)
                          : cells[i].rightJustified(std::max<qsizetype>(heads[i].size(), 14) + 2);
        }
        out += QLatin1Char('\n');
    };
    row(heads);
    for (const auto& [month, m] : months_) {
        row(cellsOf(month, m, QStringLiteral(" ct")));
    }
    return out;
}

QString MonthlyReport::csv() const {
    QString out = QStringLiteral("måned;arbejdsdage;arbejdstid;afspadsering;nulstillinger;flex\n");
    for (const auto& [month, m] : months_) {
        out += cellsOf(month, m, QString()).join(QLatin1Char(';')) + QLatin1Char('\n');
    }
    return out;
}

FileResult<MonthlyReport> readReport(const QString& path) {
    MonthlyReport report;
    RecordReader reader([&report](const Entry& e) { report.add(e); });
    const FileOutcome read =
        readFileLines(path, [&reader](std::string_view line) { reader.addLine(line); });
    if (!read.ok()) {
        return read.failure<MonthlyReport>();
    }
    report.setUnreadable(reader.unreadable());
    return report;
}

}  // namespace horalog
