// Kills two busy copies of the program over one file and one store at random moments, and checks
// after every kill that nothing was lost or corrupted: whole lines only, a readable store, and
// figures that match a recount.
#include <gtest/gtest.h>
#include <signal.h>

#include <QCoreApplication>
#include <QProcess>
#include <QRandomGenerator>
#include <QTemporaryDir>
#include <QThread>
#include <cmath>

#include "form_fixture.h"

namespace horalog::testing {
namespace {

HivePaths storeIn(const QString& folder) {
    return {folder.toStdString() + "/HKEY_CURRENT_USER.reg", folder.toStdString() + "/m.reg"};
}

// Every line a whole record, and the figures of each the recount of all before it.
std::string checkFile(QByteArray bytes) {
    if (!bytes.isEmpty() && (!bytes.startsWith(kHeader) || !bytes.endsWith("\r\n") ||
                             bytes.count('\n') != bytes.count("\r\n"))) {
        return "no header, a line without its CR, or the file ends inside a line";
    }
    const QList<QByteArray> lines = bytes.replace("\r\n", "\n").split('\n');
    double dage = 0, sum = 0, total = 0;
    for (qsizetype i = 1; i + 1 < lines.size(); ++i) {
        const QList<QByteArray> f = lines[i].split(';');
        const std::string where = "line " + std::to_string(i + 1) + ": " + lines[i].toStdString();
        if (f.size() < 7 || f[0].size() != 10 || lines[i].contains('\r')) {
            return where + " is not a record";
        } else if (i == 1) {
            total = f[6].toDouble();
        } else if (f.size() >= 8 && f[7] == "periode afsluttet/nulstillet") {
            dage = sum = 0;
        } else if (f[2] != "-") {  // a day: 7.4 hours due, as the float the program holds
            ++dage;
            sum += f[4].toDouble();
            total = std::nearbyint(total + f[4].toDouble() - static_cast<double>(7.4f) * 100.0);
        } else {  // time off: the amount as the float the program read
            const double amount = -QByteArray(f[4]).replace(',', '.').toFloat();
            sum = std::nearbyint(sum - amount);
            total = std::nearbyint(total - amount);
        }
        if (f[1].toDouble() != dage || f[5].toDouble() != sum || f[6].toDouble() != total) {
            return where + " disagrees with the recount " + std::to_string(dage) + ", " +
                   std::to_string(sum) + ", " + std::to_string(total);
        }
    }
    return {};
}

TEST(Soak, KilledAtRandomNothingIsLost) {
    const int kills = std::max(qEnvironmentVariableIntValue("HORALOG_SOAK_KILLS"), 25);
    QTemporaryDir dir;
    QRandomGenerator random(20261206);
    qputenv("ASAN_OPTIONS", "detect_leaks=0");
    qsizetype records = 0;
    for (int kill = 1; kill <= kills; ++kill) {
        QProcess children[2];
        for (int i = 0; i < 2; ++i) {
            children[i].start(
                QCoreApplication::applicationFilePath(),
                {QStringLiteral("--soak-child"), dir.path(), QString::number(2 * kill + i)});
            ASSERT_TRUE(children[i].waitForStarted(10000));
        }
        QThread::msleep(random.bounded(50u, kill % 5 == 1 ? 2000u : 400u));
        for (QProcess& child : children) {
            ASSERT_EQ(child.state(), QProcess::Running)
                << child.readAllStandardError().toStdString();
            ::kill(static_cast<pid_t>(child.processId()), SIGKILL);
            ASSERT_TRUE(child.waitForFinished(10000));
            QThread::msleep(random.bounded(30u));
        }
        const QByteArray bytes = readBytes(dir.filePath(QStringLiteral("Horalog.Dat")));
        ASSERT_EQ(checkFile(bytes), "") << "after kill " << kill;
        records = bytes.count('\n');
        CRegistry reg(std::make_shared<HiveFileBackend>(storeIn(dir.path())));
        EXPECT_NO_THROW(reg.OpenKey(kHKeyCurrentUser, kSettingsKey)) << "after kill " << kill;
    }
    EXPECT_GT(records, kills);  // the children did real work between the kills
    std::printf("%d kills, %lld lines, all whole and consistent\n", kills,
                static_cast<long long>(records));
}

}  // namespace

// Registers days, time off and period resets as fast as it can, until it is killed.
int soakChild(const QString& folder, quint32 seed) {
    QRandomGenerator random(seed);
    qputenv("HOME", folder.toLocal8Bit());
    ScriptedPlatform platform;  // answers every dialog as a willing user would
    platform.unscripted = [&random](const ShownDialog& d) {
        if (d.kind == u'!') {
            return QString::fromLatin1(d.buttons == MessageButtons::Ok ? "OK" : "Ja");
        }
        return d.text.startsWith(u"Angiv antal timer")
                   ? QStringLiteral(">%1,%2").arg(random.bounded(-2, 8)).arg(random.bounded(1000))
                   : QString::fromLatin1(d.text.startsWith(u"Indtast evt.") ? ">soak" : ">0");
    };
    Flex_Form form(platform, [paths = storeIn(folder)] {
        return std::make_unique<CRegistry>(std::make_shared<HiveFileBackend>(paths));
    });
    form.start();
    QLineEdit* fields[] = {form.findChild<QLineEdit*>(QStringLiteral("Komme_Text")),
                           form.findChild<QLineEdit*>(QStringLiteral("Gaa_Text"))};
    for (;;) {
        const int op = random.bounded(20);
        for (int i = 0; op < 15 && i < 2; ++i) {  // arrival 06-09, departure 12-17
            fields[1]->clear();
            fields[i]->setText(QStringLiteral("%1:%2")
                                   .arg(random.bounded(6 + 6 * i, 10 + 8 * i), 2, 10, QChar('0'))
                                   .arg(random.bounded(60), 2, 10, QChar('0')));
            form.run(&Flex_Form::Registrer_Command_Click);
        }
        if (op >= 15) {
            form.run(op < 19 ? &Flex_Form::Afspadsering_Menu_Click
                             : &Flex_Form::Nulstil_Menu_Click);
        }
    }
}

}  // namespace horalog::testing
