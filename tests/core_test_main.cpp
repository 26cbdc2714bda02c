// The entry of a rule library's test program: Qt Core only, as the library itself.
#include <gtest/gtest.h>

#include <QCoreApplication>
#include <ctime>

int main(int argc, char** argv) {
    QCoreApplication app(argc, argv);
#ifdef _WIN32
    // Wine hands the host's TZ to the program, though no Windows sets it, and the C library would
    // read "Europe/Copenhagen" as a zone "Eur" on US rules: the system's own zone is meant.
    qunsetenv("TZ");
    _tzset();
#endif
    ::testing::InitGoogleTest(&argc, argv);
    return RUN_ALL_TESTS();
}
