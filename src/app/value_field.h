#pragma once

#include <QFont>
#include <QString>

class QLabel;

namespace horalog {

// Shows a figure whole in its value field: at the field's own point size when it fits, else in
// the largest smaller size that does, so a minus sign is never cut off.
void showValue(QLabel* field, const QString& text);

// The font, at most as large as this one and not smaller than `smallest` points, in which the text
// takes no more than `room` pixels; steps of a quarter point.
QFont fittingFont(QFont font, const QString& text, double room, double smallest);

// The width the field's text may take: inside its border, less the indent on the right.
int valueRoom(const QLabel* field);

}  // namespace horalog
