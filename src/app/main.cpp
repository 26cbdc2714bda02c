#include <QApplication>

#include "app/flex_form.h"
#include "platform/qt_platform.h"

int main(int argc, char* argv[]) {
    QApplication app(argc, argv);
    QApplication::setApplicationName(QStringLiteral("Horalog"));
    QApplication::setQuitOnLastWindowClosed(false);
    horalog::QtPlatform platform;
    horalog::Flex_Form form(platform, [] { return std::make_unique<horalog::CRegistry>(); });
    form.start();
    return QApplication::exec();
}
