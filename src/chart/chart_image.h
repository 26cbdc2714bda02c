#pragma once

#include <QImage>
#include <QPalette>
#include <QSize>

#include "journal/chart_target.h"
#include "journal/overview.h"

class QPainter;

namespace horalog {

// The overview's picture: the flex total day by day (a line, zero marked) above the hours worked
// each ISO week beside the week's norm (bars), both over the same months. Qt Gui only: the window
// shows it and the command line writes it without a display.
void paintFlexChart(QPainter& painter, const QRect& area, const ChartData& data, float arbejdstimer,
                    const QPalette& palette);

// The picture alone, as «Gem som billede…» and --chart save it.
inline constexpr QSize kChartImageSize{1000, 560};
QImage flexChartImage(const ChartData& data, float arbejdstimer, const QPalette& palette,
                      QSize size = kChartImageSize);

// The registration file and the settings store's files, which no picture replaces.
KeptFiles keptFiles(const QString& registration);

// Writes the picture as a PNG in one step: a failure leaves the file there was as it was.
bool saveChartImage(const QImage& image, const QString& path);

}  // namespace horalog
