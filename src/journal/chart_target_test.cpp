#include "journal/chart_target.h"

#include <gtest/gtest.h>

#include <QTemporaryDir>

#ifndef _WIN32
#include <sys/stat.h>
#include <unistd.h>
#endif

#include "file_bytes.h"

namespace horalog {
namespace {

// Each name the picture may be given, as a user might mistype it, and the refusal or none.
TEST(ChartTarget, RefusesAllButANewFileOrAPng) {
    const QTemporaryDir dir;
    const auto in = [&dir](const char* name) { return dir.filePath(QLatin1String(name)); };
    const KeptFiles kept{testing::writeBytes(in("Horalog.Dat"), "dato;dag\r\n"),
                         {testing::writeBytes(in("config/HKEY_CURRENT_USER.reg"), "REGEDIT4\n"),
                          in("HKEY_LOCAL_MACHINE.reg")}};
    testing::writeBytes(in("tekst.png"), "dato;dag\r\n");
    testing::writeBytes(in("tom.png"), "");
    testing::writeBytes(in("gammel.png"), QByteArray("\x89PNG\r\n\x1A\n", 8) + "rest");
    QDir().mkdir(in("billeder"));
    const QString refused = QStringLiteral("Billedet gemmes ikke i %1: %2");
    const QString data = QStringLiteral("det er registreringsfilen.");
    const QString store = QStringLiteral("det er programmets indstillinger.");
    const QString notPng = QStringLiteral("filen findes og er ikke et PNG-billede.");
    std::vector<std::pair<QString, QString>> cases = {
        {in("Horalog.Dat"), data},
        {dir.path() + QStringLiteral("/./config/../Horalog.Dat"), data},
        {in("config/HKEY_CURRENT_USER.reg"), store},
        {in("billeder"), QStringLiteral("det er en mappe.")},
        {in("tekst.png"), notPng},
        {in("tom.png"), notPng},
        {in("gammel.png"), {}},
        {in("ny.png"), {}},
        {in("ingen/mappe/ny.png"), {}},  // not refused: the writing fails and says so
    };
#ifndef _WIN32
    ASSERT_EQ(::symlink(QFile::encodeName(kept.registration), QFile::encodeName(in("link.png"))),
              0);
    ASSERT_EQ(::link(QFile::encodeName(kept.store[0]), QFile::encodeName(in("haard.png"))), 0);
    ASSERT_EQ(::mkfifo(QFile::encodeName(in("fifo.png")), 0600), 0);
    cases.insert(cases.end(),
                 {{in("link.png"), data},
                  {in("haard.png"), store},
                  {in("fifo.png"), QStringLiteral("det er ikke en almindelig fil.")},
                  {QStringLiteral("/dev/null"), QStringLiteral("det er ikke en almindelig fil.")},
                  {QStringLiteral("./Horalog.Dat"), data}});  // in the current folder
#endif
    const QString cwd = QDir::currentPath();
    QDir::setCurrent(dir.path());
    for (const auto& [target, reason] : cases) {
        EXPECT_EQ(chartTargetRefusal(target, kept),
                  reason.isEmpty() ? std::nullopt : std::optional(refused.arg(target, reason)))
            << target.toStdString();
    }
    QDir::setCurrent(cwd);
}

}  // namespace
}  // namespace horalog
