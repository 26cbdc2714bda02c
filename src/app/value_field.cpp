#include "app/value_field.h"

#include <QFontMetricsF>
#include <QLabel>

namespace horalog {

namespace {
constexpr char kBaseSize[] = "horalogBasePointSize";
constexpr double kStep = 0.25;
constexpr double kSmallest = 1.0;
}  // namespace

int valueRoom(const QLabel* field) {
    return field->contentsRect().width() - 2 * field->margin() - std::max(field->indent(), 0);
}

void showValue(QLabel* field, const QString& text) {
    if (field->text() == text) {
        return;
    }
    QFont font = field->font();
    if (!field->property(kBaseSize).isValid()) {
        field->setProperty(kBaseSize, font.pointSizeF());
    }
    font.setPointSizeF(field->property(kBaseSize).toDouble());
    const int room = valueRoom(field);
    while (font.pointSizeF() - kStep >= kSmallest &&
           QFontMetricsF(font).horizontalAdvance(text) > room) {
        font.setPointSizeF(font.pointSizeF() - kStep);
    }
    if (font != field->font()) {
        field->setFont(font);
    }
    field->setText(text);
}

}  // namespace horalog
