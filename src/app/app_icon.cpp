#include "app/app_icon.h"

#include <QPainter>
#include <array>
#include <vector>

namespace horalog {

namespace {

constexpr double kGrid = 32.0;

std::vector<IconShape> makeShapes() {
    using Kind = IconShape::Kind;
    const QColor black(0, 0, 0);
    const QColor grey(128, 128, 128);
    const QColor white(255, 255, 255);
    const QColor yellow(255, 255, 0);
    std::vector<IconShape> shapes;
    // The sheet in the upper left, with grey lines of text.
    shapes.push_back({Kind::Rect, QRectF(1, 1, 19, 24), black, 1, white});
    for (int line = 0; line < 6; ++line) {
        const double y = 5 + line * 3.2;
        shapes.push_back({Kind::Line, QRectF(QPointF(4, y), QPointF(line % 2 ? 13 : 17, y)), grey,
                          1, std::nullopt});
    }
    // The stopwatch in the lower right: crown, yellow case, white face, black hands.
    const QPointF centre(21, 21);
    const double radius = 10;
    const auto circle = [&centre](double r) {
        return QRectF(centre - QPointF(r, r), QSizeF(2 * r, 2 * r));
    };
    shapes.push_back(
        {Kind::Rect, QRectF(centre.x() - 2, centre.y() - radius - 3, 4, 3), black, 1, yellow});
    shapes.push_back({Kind::Ellipse, circle(radius), black, 1, yellow});
    shapes.push_back({Kind::Ellipse, circle(radius * 0.7), black, 1, white});
    shapes.push_back({Kind::Line, QRectF(centre, QPointF(centre.x(), centre.y() - radius * 0.6)),
                      black, 1.5, std::nullopt});
    shapes.push_back({Kind::Line, QRectF(centre, QPointF(centre.x() + radius * 0.45, centre.y())),
                      black, 1.5, std::nullopt});
    return shapes;
}

QString svgNumber(double value) {
    return QString::number(value, 'g', 6);
}

}  // namespace

std::span<const IconShape> appIconShapes() {
    static const std::vector<IconShape> shapes = makeShapes();
    return shapes;
}

QImage drawAppIcon(int size) {
    QImage image(size, size, QImage::Format_ARGB32);
    image.fill(Qt::transparent);
    QPainter p(&image);
    p.setRenderHint(QPainter::Antialiasing, size > 16);
    const double u = size / kGrid;
    p.scale(u, u);
    for (const IconShape& shape : appIconShapes()) {
        // At the smallest sizes a line stays one whole pixel wide instead of fading to grey. Qt
        // squares a line's ends, as the SVG asks for.
        p.setPen(QPen(shape.pen, std::max(1.0 / u, shape.penWidth)));
        p.setBrush(shape.fill ? QBrush(*shape.fill) : QBrush(Qt::NoBrush));
        switch (shape.kind) {
            case IconShape::Kind::Rect:
                p.drawRect(shape.box);
                break;
            case IconShape::Kind::Ellipse:
                p.drawEllipse(shape.box);
                break;
            case IconShape::Kind::Line:
                p.drawLine(shape.box.topLeft(), shape.box.bottomRight());
                break;
        }
    }
    return image;
}

QByteArray appIconSvg() {
    QString svg = QStringLiteral(
        "<?xml version=\"1.0\" encoding=\"UTF-8\"?>\n"
        "<svg xmlns=\"http://www.w3.org/2000/svg\" width=\"32\" height=\"32\" viewBox=\"0 0 32 "
        "32\">\n");
    for (const IconShape& shape : appIconShapes()) {
        const QRectF& b = shape.box;
        QString element;
        switch (shape.kind) {
            case IconShape::Kind::Rect:
                element = QStringLiteral("<rect x=\"%1\" y=\"%2\" width=\"%3\" height=\"%4\"")
                              .arg(svgNumber(b.x()), svgNumber(b.y()), svgNumber(b.width()),
                                   svgNumber(b.height()));
                break;
            case IconShape::Kind::Ellipse:
                element = QStringLiteral("<ellipse cx=\"%1\" cy=\"%2\" rx=\"%3\" ry=\"%4\"")
                              .arg(svgNumber(b.center().x()), svgNumber(b.center().y()),
                                   svgNumber(b.width() / 2), svgNumber(b.height() / 2));
                break;
            case IconShape::Kind::Line:
                element = QStringLiteral("<line x1=\"%1\" y1=\"%2\" x2=\"%3\" y2=\"%4\"")
                              .arg(svgNumber(b.left()), svgNumber(b.top()), svgNumber(b.right()),
                                   svgNumber(b.bottom()));
                break;
        }
        svg +=
            QStringLiteral(
                "  %1 fill=\"%2\" stroke=\"%3\" stroke-width=\"%4\" stroke-linecap=\"square\"/>\n")
                .arg(element, shape.fill ? shape.fill->name() : QStringLiteral("none"),
                     shape.pen.name(), svgNumber(shape.penWidth));
    }
    svg += QStringLiteral("</svg>\n");
    return svg.toUtf8();
}

QIcon appIcon() {
    QIcon icon;
    icon.addPixmap(QPixmap::fromImage(drawAppIcon(16)));
    icon.addPixmap(QPixmap::fromImage(drawAppIcon(32)));
    return icon;
}

}  // namespace horalog
