#include <QApplication>
#include <QStandardPaths>

#ifdef _WIN32
#include <windows.h>
#endif

#include "app/flex_form.h"
#include "app/single_instance.h"
#include "cli/command_line.h"
#include "platform/qt_platform.h"

int main(int argc, char* argv[]) {
    // The program's own options are answered without a window, whether a window runs or not.
    if (argc > 1 && !horalog::onlyQtOptions(argc, argv)) {
        return horalog::runCommandLine(argc, argv);
    }
    QApplication app(argc, argv);
    QApplication::setApplicationName(QStringLiteral("Horalog"));
    // A Wayland desktop finds the window's menu entry, and so its icon, by this name.
    QGuiApplication::setDesktopFileName(QStringLiteral("dk.kvistborg.horalog"));
    QApplication::setQuitOnLastWindowClosed(false);
    horalog::installDanishQtTranslation();

    QString runtime = QStandardPaths::writableLocation(QStandardPaths::RuntimeLocation);
    if (runtime.isEmpty()) {
        runtime = QStandardPaths::writableLocation(QStandardPaths::TempLocation);
    }
    horalog::SingleInstance instance(runtime + QStringLiteral("/horalog"));
    if (!instance.claim()) {
        return 0;  // the running copy comes to the front instead
    }
#ifdef _WIN32
    // The installer looks for this name and will not replace a running program's files.
    CreateMutexW(nullptr, FALSE, L"Local\\Horalog");
#endif

    horalog::QtPlatform platform;
    horalog::Flex_Form form(platform, [] { return std::make_unique<horalog::CRegistry>(); });
    QObject::connect(&instance, &horalog::SingleInstance::anotherStartWanted, &form,
                     [&form] { form.run(&horalog::Flex_Form::Tray_Click); });
    // The end of the desktop session ends the program as Afslut does.
    QObject::connect(&app, &QGuiApplication::commitDataRequest, &form,
                     [&form] { form.rememberLastActive(); });
    QObject::connect(&app, &QCoreApplication::aboutToQuit, &form,
                     [&form] { form.rememberLastActive(); });
    form.start();
    return QApplication::exec();
}
