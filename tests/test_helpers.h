#pragma once

#include <gtest/gtest.h>

#include <QDateTime>
#include <QDir>
#include <cerrno>
#include <cstring>
#include <ctime>

namespace horalog::testing {

// A day of December 2026, the month the tables are set in.
inline QDate dec(int day) {
    return QDate(2026, 12, day);
}

inline QByteArray readBytes(const QString& path) {
    QFile f(path);
    return f.open(QIODevice::ReadOnly) ? f.readAll() : QByteArray();
}

// Writes the bytes, making the folder first; returns the path.
inline QString writeBytes(const QString& path, const QByteArray& bytes) {
    QDir().mkpath(QFileInfo(path).path());
    QFile f(path);
    EXPECT_TRUE(f.open(QIODevice::WriteOnly | QIODevice::Truncate)) << path.toStdString();
    f.write(bytes);
    return path;
}

// The system's text for an error number in the test's locale; Windows's own code where it has one.
inline QString systemText(int errorNumber) {
#ifdef _WIN32
    if (errorNumber == ENOENT || errorNumber == EEXIST) {
        return qt_error_string(errorNumber == ENOENT ? 3 : 183);
    }
#endif
    return QString::fromLocal8Bit(std::strerror(errorNumber));
}

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
