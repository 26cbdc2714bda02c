// Every picture of the icon is the one drawing (Qt Svg, which the Windows build leaves out).
#include <gtest/gtest.h>

#include <QImage>
#include <QPainter>
#include <QSvgRenderer>
#include <set>

#include "app/app_icon.h"

namespace horalog {
namespace {

// The SVG the menus scale, the PNGs they pick at fixed sizes, and Horalog.exe's resource.
TEST(AppIcon, EveryPictureIsTheDrawing) {
    QSvgRenderer svg(appIconSvg());  // a broken one draws nothing, which differs everywhere
    for (const int size : {48, 256}) {
        QImage rendered(size, size, QImage::Format_ARGB32);
        rendered.fill(Qt::transparent);
        QPainter painter(&rendered);
        svg.render(&painter);
        painter.end();
        const QImage drawn = drawAppIcon(size).convertToFormat(QImage::Format_ARGB32);
        std::set<qsizetype> differing;  // pixels with a byte off by more than 8, four bytes each
        for (qsizetype i = 0; i < rendered.sizeInBytes(); ++i) {
            if (std::abs(rendered.constBits()[i] - drawn.constBits()[i]) > 8) {
                differing.insert(i / 4);
            }
        }
        // Two renderers may antialias an edge differently, never a colour or a shape.
        EXPECT_LT(double(differing.size()) / (size * size), 0.02) << size << " px";
    }
    EXPECT_EQ(QImage(QStringLiteral(HORALOG_ICO)).convertToFormat(QImage::Format_ARGB32),
              drawAppIcon(32).convertToFormat(QImage::Format_ARGB32));
}

}  // namespace
}  // namespace horalog
