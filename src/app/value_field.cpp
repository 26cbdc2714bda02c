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

QFont fittingFont(QFont font, const QString& text, double room, double smallest) {
    while (font.pointSizeF() - kStep >= smallest &&
           QFontMetricsF(font).horizontalAdvance(text) > room) {
        font.setPointSizeF(font.pointSizeF() - kStep);
    }
    return font;
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
    font = fittingFont(font, text, valueRoom(field), kSmallest);
    if (font != field->font()) {
        field->setFont(font);
    }
    field->setText(text);
}

}  // namespace horalog
