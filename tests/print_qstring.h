#pragma once

// Failures show texts as text: every test file sees this first (-include), so all print alike.
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
