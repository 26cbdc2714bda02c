#pragma once

#include <QString>
#include <ostream>

// Failures show texts as text. Every test file sees this before gtest prints a QString, so that
// all of them agree on how it is printed.
inline void PrintTo(const QString& s, std::ostream* os) {
    *os << '"' << s.toStdString() << '"';
}

inline void PrintTo(const QByteArray& s, std::ostream* os) {
    *os << '"' << s.toStdString() << '"';
}

inline void PrintTo(QLatin1String s, std::ostream* os) {
    PrintTo(QString(s), os);
}
