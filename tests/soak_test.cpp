// Kills a busy program at random moments and checks after every kill that nothing was lost or
// corrupted: whole lines only, a readable store, and figures that match a recount.
#include <gtest/gtest.h>
#include <signal.h>

#include <QFile>
#include <QProcess>
#include <QRandomGenerator>
#include <QTemporaryDir>
#include <QThread>
#include <cmath>

#include "registry/hive_file.h"
#include "registry/registry.h"

namespace {

// Every line a whole record, and the figures of each the recount of all before it.
std::string checkFile(const QByteArray& bytes) {
    if (bytes.isEmpty()) {
        return {};
    }
    if (!bytes.endsWith("\r\n")) {
        return "the file ends inside a line";
    }
    QList<QByteArray> lines = bytes.split('\n');
    lines.removeLast();
    long dage = 0, sum = 0, total = 0;
    for (qsizetype i = 0; i < lines.size(); ++i) {
        QByteArray line = lines[i];
        if (!line.endsWith('\r')) {
            return "line " + std::to_string(i + 1) + " lacks its CR";
        }
        line.chop(1);
        if (i == 0) {
            if (line != "dato;dag;komme;g\xE5;tid;periode;total;kommentar") {
                return "no header line";
            }
            continue;
        }
        const QList<QByteArray> f = line.split(';');
        if (f.size() < 7 || f[0].size() != 10) {
            return "line " + std::to_string(i + 1) + " is not a record: " + line.toStdString();
        }
        if (i == 1) {
            total = f[6].toLong();
        } else if (f.size() >= 8 && f[7] == "periode afsluttet/nulstillet") {
            dage = 0;
            sum = 0;
        } else if (f[2] != "-") {
            const long tid = f[4].toLong();
            ++dage;
            sum += tid;
            total = std::lround(std::nearbyint(static_cast<double>(total + tid) -
                                               static_cast<double>(7.4f) * 100.0));
        } else {
            QByteArray text = f[4];
            const float amount = -text.replace(',', '.').toFloat();
            sum = std::lround(std::nearbyint(static_cast<double>(sum) - amount));
            total = std::lround(std::nearbyint(static_cast<double>(total) - amount));
        }
        if (f[1].toLong() != dage || f[5].toLong() != sum || f[6].toLong() != total) {
            return "line " + std::to_string(i + 1) +
                   " disagrees with the recount: " + line.toStdString() + " (" +
                   std::to_string(dage) + ", " + std::to_string(sum) + ", " +
                   std::to_string(total) + ")";
        }
    }
    return {};
}

TEST(Soak, KilledAtRandomNothingIsLost) {
    const int kills = qEnvironmentVariableIntValue("HORALOG_SOAK_KILLS") > 0
                          ? qEnvironmentVariableIntValue("HORALOG_SOAK_KILLS")
                          : 25;
    QTemporaryDir dir;
    const QString data = dir.filePath(QStringLiteral("Horalog.Dat"));
    const horalog::HivePaths paths{
        dir.filePath(QStringLiteral("HKEY_CURRENT_USER.reg")).toStdString(),
        dir.filePath(QStringLiteral("HKEY_LOCAL_MACHINE.reg")).toStdString()};
    QRandomGenerator random(20261206);
    int records = 0;
    for (int kill = 0; kill < kills; ++kill) {
        QProcess child;
        QProcessEnvironment env = QProcessEnvironment::systemEnvironment();
        env.insert(QStringLiteral("ASAN_OPTIONS"), QStringLiteral("detect_leaks=0"));
        child.setProcessEnvironment(env);
        child.start(QStringLiteral(HORALOG_SOAK_CHILD), {dir.path(), QString::number(kill + 1)});
        ASSERT_TRUE(child.waitForStarted(10000));
        QThread::msleep(random.bounded(50, kill % 5 == 0 ? 2000 : 400));
        ASSERT_EQ(child.state(), QProcess::Running) << child.readAllStandardError().toStdString();
        ::kill(static_cast<pid_t>(child.processId()), SIGKILL);
        ASSERT_TRUE(child.waitForFinished(10000));

        QFile f(data);
        const QByteArray bytes = f.open(QIODevice::ReadOnly) ? f.readAll() : QByteArray();
        const std::string fault = checkFile(bytes);
        ASSERT_EQ(fault, "") << "after kill " << kill + 1;
        records = static_cast<int>(bytes.count('\n'));
        if (QFile::exists(QString::fromStdString(paths.user))) {
            horalog::CRegistry reg(std::make_shared<horalog::HiveFileBackend>(paths));
            EXPECT_NO_THROW(reg.OpenKey(horalog::kHKeyCurrentUser, "Software\\Kvistborg\\Horalog"))
                << "after kill " << kill + 1;
        }
    }
    EXPECT_GT(records, kills);  // the children did real work between the kills
    std::printf("%d kills, %d lines, all whole and consistent\n", kills, records);
}

}  // namespace
