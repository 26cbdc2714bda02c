#pragma once

#include <QByteArray>
#include <QString>

namespace horalog {

// Registration files are Windows-1252 on every platform, so they move between machines unchanged.
QByteArray toWindows1252(const QString& text);
// The characters of the text that Windows-1252 cannot hold, each once, in order.
QString notInWindows1252(const QString& text);
QString fromWindows1252(const QByteArray& bytes);

}  // namespace horalog
