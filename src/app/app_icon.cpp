#include "app/app_icon.h"

#include <QPainter>
#include <QPainterPath>

namespace horalog {

QImage drawAppIcon(int size) {
    QImage image(size, size, QImage::Format_ARGB32);
    image.fill(Qt::transparent);
    QPainter p(&image);
    p.setRenderHint(QPainter::Antialiasing, size > 16);
    const double u = size / 32.0;

    // The sheet in the upper left, with grey lines of text.
    const QRectF sheet(1 * u, 1 * u, 19 * u, 24 * u);
    p.setPen(QPen(Qt::black, std::max(1.0, u)));
    p.setBrush(Qt::white);
    p.drawRect(sheet);
    p.setPen(QPen(QColor(128, 128, 128), std::max(1.0, u)));
    for (int line = 0; line < 6; ++line) {
        const double y = (5 + line * 3.2) * u;
        p.drawLine(QPointF(4 * u, y), QPointF((line % 2 ? 13 : 17) * u, y));
    }

    // The stopwatch in the lower right: crown, yellow case, white face, black hands.
    const QPointF centre(21 * u, 21 * u);
    const double radius = 10 * u;
    p.setPen(QPen(Qt::black, std::max(1.0, u)));
    p.setBrush(QColor(255, 255, 0));
    p.drawRect(QRectF(centre.x() - 2 * u, centre.y() - radius - 3 * u, 4 * u, 3 * u));
    p.drawEllipse(centre, radius, radius);
    p.setBrush(Qt::white);
    p.drawEllipse(centre, radius * 0.7, radius * 0.7);
    p.setPen(QPen(Qt::black, std::max(1.0, 1.5 * u)));
    p.drawLine(centre, QPointF(centre.x(), centre.y() - radius * 0.6));
    p.drawLine(centre, QPointF(centre.x() + radius * 0.45, centre.y()));
    return image;
}

QIcon appIcon() {
    QIcon icon;
    icon.addPixmap(QPixmap::fromImage(drawAppIcon(16)));
    icon.addPixmap(QPixmap::fromImage(drawAppIcon(32)));
    return icon;
}

}  // namespace horalog
