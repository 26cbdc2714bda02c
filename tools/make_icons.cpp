// Writes the program icon as files for the menus, the installers and the Windows resource, all
// from the one drawing: horalog_icons <folder>
#include <QFile>
#include <QGuiApplication>
#include <QImageWriter>

#include "app/app_icon.h"

int main(int argc, char* argv[]) {
    QGuiApplication app(argc, argv);
    const QString folder = argc > 1 ? QString::fromLocal8Bit(argv[1]) : QStringLiteral(".");
    bool ok = true;
    for (const int size : {16, 32, 48, 256}) {
        ok =
            horalog::drawAppIcon(size).save(folder + QStringLiteral("/horalog-%1.png").arg(size)) &&
            ok;
    }
    QFile svg(folder + QStringLiteral("/horalog.svg"));
    ok = svg.open(QIODevice::WriteOnly) && svg.write(horalog::appIconSvg()) >= 0 && svg.flush() &&
         ok;
    QImageWriter ico(folder + QStringLiteral("/horalog.ico"), "ico");
    ok = ico.write(horalog::drawAppIcon(32)) && ok;
    return ok ? 0 : 1;
}
