// The entry of a test program without the window: Qt Core, or Qt Widgets for the platform's own.
#include <gtest/gtest.h>

#include <ctime>
#ifdef HORALOG_TEST_WIDGETS
#include <QApplication>
using Application = QApplication;
#else
#include <QCoreApplication>
using Application = QCoreApplication;
#endif

int main(int argc, char** argv) {
    if (qEnvironmentVariableIsEmpty("QT_QPA_PLATFORM")) {
        qputenv("QT_QPA_PLATFORM", "offscreen");  // the real dialogs, without a display
    }
    Application app(argc, argv);
#ifdef _WIN32
    // Wine hands the host's TZ to the program, though no Windows sets it, and the C library would
    // read "Europe/Copenhagen" as a zone "Eur" on US rules: the system's own zone is meant.
    qunsetenv("TZ");
    _tzset();
#endif
    ::testing::InitGoogleTest(&argc, argv);
    return RUN_ALL_TESTS();
}
