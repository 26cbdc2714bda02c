#pragma once

#include <QIcon>
#include <QImage>

namespace horalog {

// A sheet of paper with lines of text, partly covered by a yellow stopwatch.
QImage drawAppIcon(int size);
QIcon appIcon();

}  // namespace horalog
