#pragma once

// Failures show texts as text. Every test file sees this (by -include) before gtest prints a
// QString, so that all of them agree on how it is printed; the programs without Qt skip it.
#if __has_include(<QString>)
#include <QString>
#include <ostream>

inline void PrintTo(const QString& s, std::ostream* os) {
    *os << '"' << s.toStdString() << '"';
}

inline void PrintTo(const QByteArray& s, std::ostream* os) {
    *os << '"' << s.toStdString() << '"';
}

inline void PrintTo(QLatin1String s, std::ostream* os) {
    PrintTo(QString(s), os);
}
#endif
