#include <gtest/gtest.h>

#include <QApplication>
#include <cstring>
#include <ctime>

namespace horalog::testing {
int soakChild(const QString& folder, quint32 seed);
int nightChild(const QString& folder);
}  // namespace horalog::testing

int main(int argc, char** argv) {
    if (qEnvironmentVariableIsEmpty("QT_QPA_PLATFORM")) {
        qputenv("QT_QPA_PLATFORM", "offscreen");
    }
    QApplication app(argc, argv);
#ifdef _WIN32
    // Wine hands over the host's TZ, which the C library misreads ("Eur" on US rules).
    qunsetenv("TZ");
    _tzset();
#else  // the soak's busy programs; the soak is not in the Windows build
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
