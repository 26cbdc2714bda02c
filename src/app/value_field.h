#pragma once

#include <QString>

class QLabel;

namespace horalog {

// Shows a figure whole in its value field: at the field's own point size when it fits, else in
// the largest smaller size that does, so a minus sign is never cut off.
void showValue(QLabel* field, const QString& text);

// The width the field's text may take: inside its border, less the indent on the right.
int valueRoom(const QLabel* field);

}  // namespace horalog
