// Writes the program icon as files for installers and the Windows resource:
// horalog_icons <folder>
#include <QGuiApplication>
#include <QImageWriter>

#include "app/app_icon.h"

int main(int argc, char* argv[]) {
    QGuiApplication app(argc, argv);
    const QString folder = argc > 1 ? QString::fromLocal8Bit(argv[1]) : QStringLiteral(".");
    bool ok = true;
    for (const int size : {16, 32, 48, 256}) {
        ok = horalog::drawAppIcon(size).save(folder + QStringLiteral("/horalog-%1.png").arg(size)) &&
             ok;
    }
    QImageWriter ico(folder + QStringLiteral("/horalog.ico"), "ico");
    ok = ico.write(horalog::drawAppIcon(32)) && ok;
    return ok ? 0 : 1;
}
