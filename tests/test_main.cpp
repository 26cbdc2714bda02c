// The window's test program, which the soak also runs as its busy programs.
#include <QString>
#include <cstring>

namespace horalog::testing {
int soakChild(const QString& folder, quint32 seed);
int nightChild(const QString& folder);
}  // namespace horalog::testing

#define HORALOG_TEST_WIDGETS
#define HORALOG_TEST_CHILDREN
#include "core_test_main.cpp"
