#pragma once

#include <QWidget>

#include "journal/overview.h"

namespace horalog {

// The chart in the overview dialog, drawn in the desktop's palette at any scale.
class FlexChart : public QWidget {
    Q_OBJECT

public:
    explicit FlexChart(QWidget* parent = nullptr);
    void setData(const ChartData& data, float arbejdstimer);
    QSize sizeHint() const override { return {760, 420}; }

protected:
    void paintEvent(QPaintEvent* event) override;

private:
    ChartData data_;
    float arbejdstimer_ = 0.0f;  // given with the data
};

}  // namespace horalog
