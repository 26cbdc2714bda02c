#include "journal/chart_target.h"

#include <QFile>
#include <QFileInfo>
#include <filesystem>
#include <system_error>

namespace horalog {

namespace {

std::filesystem::path pathOf(const QString& name) {
#ifdef _WIN32
    return std::filesystem::path(name.toStdWString());
#else
    return std::filesystem::path(QFile::encodeName(name).toStdString());
#endif
}

// The same file, through a symbolic or a hard link or another spelling of its path.
bool sameFile(const QString& a, const QString& b) {
    if (a.isEmpty() || b.isEmpty()) {
        return false;
    }
    std::error_code error;
    return std::filesystem::equivalent(pathOf(a), pathOf(b), error) && !error;
}

bool startsAsPng(const QString& name) {
    QFile file(name);
    return file.open(QIODevice::ReadOnly) && file.read(8) == QByteArray("\x89PNG\r\n\x1A\n", 8);
}

}  // namespace

std::optional<QString> chartTargetRefusal(const QString& target, const KeptFiles& kept) {
    const QString refused =
        QStringLiteral("Billedet gemmes ikke i ") + target + QStringLiteral(": ");
    const QFileInfo info(target);
    if (!info.exists()) {
        return std::nullopt;
    }
    if (sameFile(target, kept.registration)) {
        return refused + QStringLiteral("det er registreringsfilen.");
    }
    for (const QString& store : kept.store) {
        if (sameFile(target, store)) {
            return refused + QStringLiteral("det er programmets indstillinger.");
        }
    }
    if (info.isDir()) {
        return refused + QStringLiteral("det er en mappe.");
    }
    if (!info.isFile()) {
        return refused + QStringLiteral("det er ikke en almindelig fil.");
    }
    if (!startsAsPng(target)) {
        return refused + QStringLiteral("filen findes og er ikke et PNG-billede.");
    }
    return std::nullopt;
}

}  // namespace horalog
