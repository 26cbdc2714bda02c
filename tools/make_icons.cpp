// Writes the program icon as files for installers and the Windows resource:
// horalog_icons <folder>
#include <QGuiApplication>
#include <QImageWriter>

#include "app/app_icon.h"

int main(int argc, char* argv[]) {
    QGuiApplication app(argc, argv);
    const QString folder = argc > 1 ? QString::fromLocal8Bit(argv[1]) : QStringLiteral(".");
    bool ok = horalog::drawAppIcon(16).save(folder + QStringLiteral("/horalog-16.png")) &&
              horalog::drawAppIcon(32).save(folder + QStringLiteral("/horalog-32.png"));
    QImageWriter ico(folder + QStringLiteral("/horalog.ico"), "ico");
    ok = ico.write(horalog::drawAppIcon(32)) && ok;
    return ok ? 0 : 1;
}
