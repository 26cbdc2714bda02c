#pragma once

#include <QString>
#include <QStringList>
#include <optional>

namespace horalog {

// The files a picture of the chart never replaces, by whatever name they are reached.
struct KeptFiles {
    QString registration;
    QStringList store;  // the settings store's files, where the store is files
};

// Why the chart may not be written to `target`, naming it in Danish; nothing when it may: a new
// file, or a PNG replaced as image tools replace one. A folder, a FIFO or a device, the
// registration file or the store (through a link or another spelling too), or any other file is
// refused, so a mistyped name never destroys data.
std::optional<QString> chartTargetRefusal(const QString& target, const KeptFiles& kept);

}  // namespace horalog
