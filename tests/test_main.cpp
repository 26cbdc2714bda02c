#include <gtest/gtest.h>

#include <QApplication>
#include <cstring>

namespace horalog::testing {
int soakChild(const QString& folder, quint32 seed);
}

int main(int argc, char** argv) {
    if (qEnvironmentVariableIsEmpty("QT_QPA_PLATFORM")) {
        qputenv("QT_QPA_PLATFORM", "offscreen");
    }
    QApplication app(argc, argv);
    if (argc == 4 && std::strcmp(argv[1], "--soak-child") == 0) {  // the soak test's busy program
        return horalog::testing::soakChild(QString::fromLocal8Bit(argv[2]),
                                           QByteArray(argv[3]).toUInt());
    }
    ::testing::InitGoogleTest(&argc, argv);
    return RUN_ALL_TESTS();
}
