// Every picture of the icon is the one drawing (Qt Svg, which the Windows build leaves out).
#include <gtest/gtest.h>

#include <QImage>
#include <QPainter>
#include <QSvgRenderer>

#include "app/app_icon.h"

namespace horalog {
namespace {

double differingShare(const QImage& first, const QImage& second, int tolerance) {
    const QImage a = first.convertToFormat(QImage::Format_ARGB32);
    const QImage b = second.convertToFormat(QImage::Format_ARGB32);
    int differing = 0;
    for (int y = 0; y < a.height(); ++y) {
        for (int x = 0; x < a.width(); ++x) {
            const QRgb p = a.pixel(x, y), q = b.pixel(x, y);
            differing += std::max({std::abs(qRed(p) - qRed(q)), std::abs(qGreen(p) - qGreen(q)),
                                   std::abs(qBlue(p) - qBlue(q)),
                                   std::abs(qAlpha(p) - qAlpha(q))}) > tolerance;
        }
    }
    return double(differing) / (a.width() * a.height());
}

// The SVG the menus scale, the PNGs they pick at fixed sizes, and Horalog.exe's resource.
TEST(AppIcon, EveryPictureIsTheDrawing) {
    QSvgRenderer svg(appIconSvg());
    ASSERT_TRUE(svg.isValid());
    for (const int size : {48, 256}) {
        QImage rendered(size, size, QImage::Format_ARGB32);
        rendered.fill(Qt::transparent);
        QPainter painter(&rendered);
        svg.render(&painter);
        painter.end();
        // Two renderers may antialias an edge differently, never a colour or a shape.
        EXPECT_LT(differingShare(rendered, drawAppIcon(size), 8), 0.02) << size << " px";
    }
    const QImage ico(QStringLiteral(HORALOG_ICO));
    ASSERT_EQ(ico.size(), QSize(32, 32));
    EXPECT_EQ(differingShare(ico, drawAppIcon(32), 0), 0.0);
}

}  // namespace
}  // namespace horalog
