#pragma once

#include <QByteArray>
#include <QColor>
#include <QIcon>
#include <QImage>
#include <QRectF>
#include <optional>
#include <span>

namespace horalog {

// One shape of the icon's drawing, on a 32 by 32 grid. A line runs from the box's top left to
// its bottom right corner.
struct IconShape {
    enum class Kind { Rect, Ellipse, Line };
    Kind kind;
    QRectF box;
    QColor pen;
    double penWidth;
    std::optional<QColor> fill;
};

// A sheet of paper with lines of text, partly covered by a yellow stopwatch. Every picture of the
// icon, the window's, the menus' PNGs and the scalable SVG, is drawn from these shapes.
std::span<const IconShape> appIconShapes();

QImage drawAppIcon(int size);
QByteArray appIconSvg();
QIcon appIcon();

}  // namespace horalog
