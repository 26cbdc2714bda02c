#pragma once

#include <QString>
#include <string>

namespace horalog {

// The store keeps text in the system's single-byte code page on Windows and UTF-8 elsewhere,
// which is what Qt's local 8-bit encoding is on each.
inline std::string toStoreText(const QString& text) {
    return text.toLocal8Bit().toStdString();
}

inline QString fromStoreText(const std::string& text) {
    return QString::fromLocal8Bit(text.c_str(), static_cast<qsizetype>(text.size()));
}

}  // namespace horalog
