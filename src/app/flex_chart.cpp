#include "app/flex_chart.h"

#include <QPainter>

#include "chart/chart_image.h"
#include "journal/overview_messages.h"

namespace horalog {

FlexChart::FlexChart(QWidget* parent) : QWidget(parent) {
    setObjectName(QStringLiteral("Oversigt_Chart"));
    setAccessibleName(chartName());
    setMinimumSize(480, 300);
    setSizePolicy(QSizePolicy::Expanding, QSizePolicy::Expanding);
}

void FlexChart::setData(const ChartData& chart, float arbejdstimer) {
    data_ = chart;
    arbejdstimer_ = arbejdstimer;
    update();
}

void FlexChart::paintEvent(QPaintEvent*) {
    QPainter painter(this);
    paintFlexChart(painter, rect(), data_, arbejdstimer_, palette());
}

}  // namespace horalog
