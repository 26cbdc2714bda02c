// Every picture of the icon is the one drawing: the scalable SVG the menus scale, the PNGs they
// pick at fixed sizes, and the Windows resource built into Horalog.exe.
#include <gtest/gtest.h>

#include <QImage>
#include <QPainter>
#include <QSvgRenderer>

#include "app/app_icon.h"

namespace horalog {
namespace {

// The share of pixels whose colour or coverage differs by more than the tolerance.
double differingShare(const QImage& first, const QImage& second, int tolerance) {
    const QImage a = first.convertToFormat(QImage::Format_ARGB32);
    const QImage b = second.convertToFormat(QImage::Format_ARGB32);
    int differing = 0;
    for (int y = 0; y < a.height(); ++y) {
        for (int x = 0; x < a.width(); ++x) {
            const QColor p = a.pixelColor(x, y), q = b.pixelColor(x, y);
            differing += std::max({std::abs(p.red() - q.red()), std::abs(p.green() - q.green()),
                                   std::abs(p.blue() - q.blue()),
                                   std::abs(p.alpha() - q.alpha())}) > tolerance;
        }
    }
    return double(differing) / (a.width() * a.height());
}

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
