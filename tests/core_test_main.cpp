// The entry of every test program: Qt Core, or Qt Widgets for the platform's and the window's.
#include <gtest/gtest.h>

#include <ctime>
#ifdef HORALOG_TEST_WIDGETS
#include <QApplication>
using Application = QApplication;
#else
#include <QCoreApplication>
using Application = QCoreApplication;
#endif
#ifdef HORALOG_TEST_CHILDREN  // the window's program, which the soak also runs as its busy copies
#include <cstring>
namespace horalog::testing {
int soakChild(const QString& folder, quint32 seed);
int nightChild(const QString& folder);
}  // namespace horalog::testing
#endif

int main(int argc, char** argv) {
    if (qEnvironmentVariableIsEmpty("QT_QPA_PLATFORM")) {
        qputenv("QT_QPA_PLATFORM", "offscreen");  // the real dialogs, without a display
    }
    Application app(argc, argv);
#ifdef _WIN32
    // Wine hands over the host's TZ, which the C library misreads ("Eur" on US rules).
    qunsetenv("TZ");
    _tzset();
#elif defined(HORALOG_TEST_CHILDREN)  // the soak's busy programs; the soak is not on Windows
    if (argc == 4 && std::strcmp(argv[1], "--soak-child") == 0) {
        return horalog::testing::soakChild(QString::fromLocal8Bit(argv[2]),
                                           QByteArray(argv[3]).toUInt());
    }
    if (argc == 3 && std::strcmp(argv[1], "--night-child") == 0) {
        return horalog::testing::nightChild(QString::fromLocal8Bit(argv[2]));
    }
#endif
    ::testing::InitGoogleTest(&argc, argv);
    return RUN_ALL_TESTS();
}
