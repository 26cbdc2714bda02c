#pragma once

#include <gtest/gtest.h>

#include <QDateTime>
#include <ctime>

namespace horalog::testing {

// Copenhagen's time zone for one test. Windows takes its zone from the system, never from TZ:
// there tools/test-windows.sh starts Wine in Copenhagen's.
struct InCopenhagen {
#ifdef _WIN32
    InCopenhagen() {
        EXPECT_EQ(QDateTime(QDate(2026, 7, 1), QTime(12, 0)).offsetFromUtc(), 7200);
    }
#else
    InCopenhagen() {
        qputenv("TZ", "Europe/Copenhagen");
        tzset();
    }
    ~InCopenhagen() {
        saved.isNull() ? qunsetenv("TZ") : qputenv("TZ", saved);
        tzset();
    }
    const QByteArray saved = qgetenv("TZ");
#endif
};

}  // namespace horalog::testing
