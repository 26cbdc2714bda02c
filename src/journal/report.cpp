#include "journal/report.h"

#include <QFile>
#include <QRegularExpression>

#include "journal/record.h"
#include "journal/windows1252.h"
#include "platform/file_sync.h"
#include "text/number_text.h"

namespace horalog {

namespace {

// The month of a date text with the day first and the year last, as every accepted pattern has.
QString monthOf(const QString& date) {
    static const QRegularExpression parts(
        QStringLiteral("^\\s*(\\d{1,2})\\D+(\\d{1,2})\\D+(\\d{2,4})\\s*$"));
    const QRegularExpressionMatch m = parts.match(date);
    if (!m.hasMatch()) {
        return QString();
    }
    const int month = m.captured(2).toInt();
    int year = m.captured(3).toInt();
    if (m.captured(3).size() == 2) {
        year += 2000;
    }
    if (month < 1 || month > 12) {
        return QString();
    }
    return QStringLiteral("%1-%2")
        .arg(year, 4, 10, QLatin1Char('0'))
        .arg(month, 2, 10, QLatin1Char('0'));
}

// A month's row, the amounts in centi-hours followed by the unit.
QStringList cellsOf(const QString& month, const MonthFigures& m, const QString& unit) {
    return {month,
            QString::number(m.workingDays),
            QString::number(m.worked) + unit,
            QString::number(m.timeOff) + unit,
            QString::number(m.resets),
            QString::number(m.flexAtEnd) + unit};
}

}  // namespace

void MonthlyReport::addLine(const QString& line) {
    ++lineNumber_;
    Figures figures;
    const LineReading reading = figuresFromLine(line, figures);
    if (reading == LineReading::TooFewFields || line.startsWith(QStringLiteral("dato;"))) {
        return;
    }
    const QStringList f = line.split(QLatin1Char(';'));
    const QString month = monthOf(f[0]);
    QString tid = f[4];
    const auto timeOff =
        roundToInt32(-readNumber(tid.replace(QLatin1Char(','), QLatin1Char('.'))).value_or(0.0));
    if (reading == LineReading::OutOfRange || month.isEmpty() || !timeOff) {
        unreadable_ << QString::number(lineNumber_);
        return;
    }
    MonthFigures& m = months_[month];
    m.flexAtEnd = figures.total;
    if (f.size() > 7 && f[7] == QStringLiteral("periode afsluttet/nulstillet")) {
        ++m.resets;
    } else if (f[2] != QStringLiteral("-")) {
        ++m.workingDays;
        m.worked += readInt32(f[4]).value_or(0);
    } else if (f[4] != QStringLiteral("-")) {
        m.timeOff += *timeOff;
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

bool readReport(const QString& path, MonthlyReport& report, QString& error) {
    QFile file(path);
    if (!file.open(QIODevice::ReadOnly)) {
        error = fileErrorText(file);
        return false;
    }
    QByteArray line;
    while (!file.atEnd()) {
        line = file.readLine();
        while (line.endsWith('\n') || line.endsWith('\r')) {
            line.chop(1);
        }
        report.addLine(fromWindows1252(line));
    }
    return true;
}

}  // namespace horalog
