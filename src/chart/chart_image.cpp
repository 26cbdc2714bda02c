#include "chart/chart_image.h"

#include <QFile>
#include <QPainter>
#include <QPainterPath>
#include <QSaveFile>
#include <algorithm>
#include <cmath>
#include <vector>

#ifndef _WIN32
#include "registry/hive_file.h"
#endif

namespace horalog {

namespace {

// Danish month names whatever the system's language, as every other text of the program.
const char* const kMonths[] = {"jan", "feb", "mar", "apr", "maj", "jun",
                               "jul", "aug", "sep", "okt", "nov", "dec"};

// A step for an axis of this many hours that gives four to eight lines.
double stepFor(double span) {
    for (const double step : {1.0, 2.0, 5.0, 10.0, 20.0, 25.0, 50.0, 100.0, 200.0, 500.0}) {
        if (span / step <= 8.0) {
            return step;
        }
    }
    return std::ceil(span / 8.0 / 1000.0) * 1000.0;
}

double hoursOf(std::int64_t ct) {
    return static_cast<double>(ct) / 100.0;
}

QString hoursLabel(double hours) {
    return hours == 0.0 ? QStringLiteral("0") : QStringLiteral("%1 t").arg(hours);
}

// One half of the chart: its plot area, the hours it runs between, and the x of a date.
struct Panel {
    QRectF plot;
    double low = 0.0;
    double high = 1.0;
    QDate from;
    qint64 days = 1;

    double y(double hours) const {
        return plot.bottom() - (hours - low) / (high - low) * plot.height();
    }
    double x(const QDate& date) const {
        return plot.left() +
               static_cast<double>(from.daysTo(date)) / static_cast<double>(days) * plot.width();
    }
};

void drawAxes(QPainter& p, const Panel& panel, const QString& title, const QPalette& palette,
              bool markZero) {
    const QFontMetrics metrics = p.fontMetrics();
    p.setPen(palette.color(QPalette::WindowText));
    p.drawText(QPointF(panel.plot.left(), panel.plot.top() - metrics.descent() - 4), title);
    const double step = stepFor(panel.high - panel.low);
    for (double h = std::ceil(panel.low / step) * step; h <= panel.high + 1e-9; h += step) {
        const double y = panel.y(h);
        const bool zero = markZero && std::abs(h) < 1e-9;
        p.setPen(QPen(zero ? palette.color(QPalette::WindowText) : palette.color(QPalette::Mid),
                      zero ? 1.5 : 0.5, zero ? Qt::SolidLine : Qt::DotLine));
        p.drawLine(QPointF(panel.plot.left(), y), QPointF(panel.plot.right(), y));
        p.setPen(palette.color(QPalette::WindowText));
        const QString label = hoursLabel(h);
        p.drawText(QPointF(panel.plot.left() - metrics.horizontalAdvance(label) - 6,
                           y + metrics.ascent() / 2.0 - 1),
                   label);
    }
    // The months along the bottom, at their first day; the month the chart begins in at its left
    // edge and the one it ends in inside its right, the labels between where there is room.
    const QDate end = panel.from.addDays(panel.days);
    std::vector<std::pair<double, QString>> labels;
    for (QDate month(panel.from.year(), panel.from.month(), 1); month < end;
         month = month.addMonths(1)) {
        const double x = panel.x(month);
        if (month > panel.from) {
            p.setPen(QPen(palette.color(QPalette::Mid), 0.5, Qt::DotLine));
            p.drawLine(QPointF(x, panel.plot.top()), QPointF(x, panel.plot.bottom()));
        }
        const QString name = QLatin1String(kMonths[month.month() - 1]);
        labels.emplace_back(std::clamp(x + 3, panel.plot.left() + 3,
                                       panel.plot.right() - 3 - metrics.horizontalAdvance(name)),
                            name);
    }
    p.setPen(palette.color(QPalette::WindowText));
    double room = panel.plot.left();  // where the next label may begin
    for (std::size_t i = 0; i < labels.size(); ++i) {
        const auto& [x, name] = labels[i];
        const bool last = i + 1 == labels.size();
        const double after = x + metrics.horizontalAdvance(name) + 6;
        if (x >= room && (last || after <= labels.back().first)) {
            p.drawText(QPointF(x, panel.plot.bottom() + metrics.ascent() + 3), name);
            room = after;
        }
    }
    p.setPen(QPen(palette.color(QPalette::WindowText), 1.0));
    p.setBrush(Qt::NoBrush);
    p.drawRect(panel.plot);
}

void drawFlex(QPainter& p, const Panel& panel, const ChartData& data, const QPalette& palette) {
    QPainterPath line;
    bool started = false;
    const auto to = [&](const QDate& date, std::int32_t total) {
        const QPointF point(panel.x(date), panel.y(hoursOf(total)));
        if (!started) {
            line.moveTo(point);
            started = true;
        } else {
            line.lineTo(QPointF(point.x(), line.currentPosition().y()));  // flat until the day
            line.lineTo(point);
        }
    };
    if (data.startTotal) {
        to(data.from, *data.startTotal);
    }
    for (const auto& [date, total] : data.flex) {
        to(date, total);
    }
    if (started) {
        line.lineTo(QPointF(panel.x(data.to.addDays(1)), line.currentPosition().y()));
    }
    p.setPen(QPen(palette.color(QPalette::Highlight), 2.0));
    p.setBrush(Qt::NoBrush);
    p.drawPath(line);
}

void drawWeeks(QPainter& p, const Panel& panel, const ChartData& data, float arbejdstimer,
               const QPalette& palette) {
    // What each bar is, at the title's right.
    const QFontMetrics metrics = p.fontMetrics();
    const double box = metrics.ascent() * 0.8;
    double x = panel.plot.right();
    const double y = panel.plot.top() - metrics.descent() - 4;
    for (const auto& [label, norm] : {std::pair(QStringLiteral("normtid"), true),
                                      std::pair(QStringLiteral("arbejdet"), false)}) {
        x -= metrics.horizontalAdvance(label);
        p.setPen(palette.color(QPalette::WindowText));
        p.drawText(QPointF(x, y), label);
        x -= box + 6;
        p.setPen(norm ? QPen(palette.color(QPalette::WindowText), 1.0) : QPen(Qt::NoPen));
        p.setBrush(norm ? palette.color(QPalette::Mid) : palette.color(QPalette::Highlight));
        p.drawRect(QRectF(x, y - box, box, box));
        x -= 16;
    }
    p.save();
    p.setClipRect(panel.plot);
    const double width = panel.plot.width() * 7.0 / static_cast<double>(panel.days);
    for (const ChartWeek& week : data.weeks) {
        const double left = std::max(panel.plot.left(), panel.x(week.monday) + width * 0.1);
        const double bar = width * 0.4;
        const double base = panel.y(0.0);
        p.setPen(Qt::NoPen);
        p.setBrush(palette.color(QPalette::Highlight));
        p.drawRect(
            QRectF(left, panel.y(hoursOf(week.worked)), bar, base - panel.y(hoursOf(week.worked))));
        p.setPen(QPen(palette.color(QPalette::WindowText), 1.0));
        p.setBrush(palette.color(QPalette::Mid));
        const double norm = hoursOf(weekNorm(week, arbejdstimer));
        p.drawRect(QRectF(left + bar, panel.y(norm), bar, base - panel.y(norm)));
    }
    p.restore();
}

}  // namespace

void paintFlexChart(QPainter& p, const QRect& area, const ChartData& data, float arbejdstimer,
                    const QPalette& palette) {
    p.save();
    p.setRenderHint(QPainter::Antialiasing);
    p.fillRect(area, palette.color(QPalette::Window));
    const QFontMetrics metrics = p.fontMetrics();
    const double left = area.left() + metrics.horizontalAdvance(QStringLiteral("-8888 t")) + 12;
    const double right = area.right() - 12;
    const double line = metrics.height();
    const double half = (area.height() - 5 * line - 28) / 2.0;
    // To the end of the last week, so that its bar and its norm are drawn whole.
    const qint64 days =
        std::max<qint64>(1, data.from.daysTo(data.to.addDays(7 - data.to.dayOfWeek())) + 1);

    Panel flex{QRectF(left, area.top() + line + 8, right - left, half), 0.0, 1.0, data.from, days};
    double low = 0.0;
    double high = 0.0;
    const auto widen = [&](std::int32_t total) {
        low = std::min(low, hoursOf(total));
        high = std::max(high, hoursOf(total));
    };
    if (data.startTotal) {
        widen(*data.startTotal);
    }
    for (const auto& day : data.flex) {
        widen(day.second);
    }
    const double margin = std::max(1.0, (high - low) * 0.05);
    flex.low = low - margin;
    flex.high = high + margin;
    drawAxes(p, flex, QStringLiteral("Flex-saldo (timer)"), palette, true);
    drawFlex(p, flex, data, palette);

    Panel weeks{QRectF(left, flex.plot.bottom() + 2 * line + 16, right - left, half), 0.0, 40.0,
                data.from, days};
    for (const ChartWeek& week : data.weeks) {
        weeks.high =
            std::max({weeks.high, hoursOf(week.worked), hoursOf(weekNorm(week, arbejdstimer))});
    }
    weeks.high *= 1.05;
    drawAxes(p, weeks, QStringLiteral("Arbejdstid pr. uge (timer) og ugens normtid"), palette,
             false);
    drawWeeks(p, weeks, data, arbejdstimer, palette);
    p.restore();
}

QImage flexChartImage(const ChartData& data, float arbejdstimer, const QPalette& palette,
                      QSize size) {
    QImage image(size, QImage::Format_ARGB32);
    image.fill(palette.color(QPalette::Window));
    QPainter painter(&image);
    paintFlexChart(painter, image.rect(), data, arbejdstimer, palette);
    return image;
}

KeptFiles keptFiles(const QString& registration) {
    KeptFiles kept{registration, {}};
#ifndef _WIN32  // elsewhere the store is the registry
    const HivePaths store = defaultHivePaths();
    kept.store = {QFile::decodeName(store.user.c_str()), QFile::decodeName(store.machine.c_str())};
#endif
    return kept;
}

bool saveChartImage(const QImage& image, const QString& path) {
    QSaveFile file(path);
    return file.open(QIODevice::WriteOnly) && image.save(&file, "PNG") && file.commit();
}

}  // namespace horalog
