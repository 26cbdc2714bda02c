// The options, run as a panel or a script runs them: the real program, no graphical session.
#include <gtest/gtest.h>

#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <QProcess>
#include <QTemporaryDir>

namespace {

class CommandLineTest : public ::testing::Test {
protected:
    struct Run {
        int status;
        QString out, err;
    };
    Run run(const QStringList& arguments) {
        QProcess p;
        QProcessEnvironment env = QProcessEnvironment::systemEnvironment();
        env.insert(QStringLiteral("HOME"), home.path());
        env.insert(QStringLiteral("XDG_CONFIG_HOME"), home.filePath(QStringLiteral("config")));
        env.remove(QStringLiteral("DISPLAY"));
        env.insert(QStringLiteral("QT_QPA_PLATFORM"), QStringLiteral("none"));  // no session at all
        env.insert(QStringLiteral("LANG"), QStringLiteral("C"));
        p.setProcessEnvironment(env);
        p.start(QStringLiteral(HORALOG_BINARY), arguments);
        EXPECT_TRUE(p.waitForFinished(20000));
        return {p.exitCode(), QString::fromUtf8(p.readAllStandardOutput()),
                QString::fromUtf8(p.readAllStandardError())};
    }
    void setUp(const QByteArray& records, const QByteArray& moedt) {
        QDir(home.path()).mkpath(QStringLiteral("config/horalog"));
        write(data, records);
        write(store, "REGEDIT4\n\n[HKEY_CURRENT_USER\\Software\\Kvistborg\\Horalog]\n\"Moedt\"=\"" +
                         moedt + "\"\n\"Arbejdstimer\"=\"7.4\"\n\"Filnavn\"=\"" + data.toUtf8() +
                         "\"\n\n");
    }
    static QByteArray readAll(const QString& path) {
        QFile f(path);
        return f.open(QIODevice::ReadOnly) ? f.readAll() : QByteArray();
    }
    static void write(const QString& path, const QByteArray& bytes) {
        QFile f(path);
        ASSERT_TRUE(f.open(QIODevice::WriteOnly));
        f.write(bytes);
    }
    QTemporaryDir home;
    QString data = home.filePath(QStringLiteral("Horalog.Dat"));
    QString store = home.filePath(QStringLiteral("config/horalog/HKEY_CURRENT_USER.reg"));
};

TEST_F(CommandLineTest, HelpVersionAndUnknownOptions) {
    const Run version = run({QStringLiteral("--version")});
    EXPECT_EQ(version.status, 0);
    EXPECT_EQ(version.out, QStringLiteral("Horalog 1.7.0\n"));
    const Run help = run({QStringLiteral("--help")});
    EXPECT_EQ(help.status, 0);
    EXPECT_TRUE(help.out.contains(QStringLiteral("--report"))) << help.out.toStdString();
    const Run unknown = run({QStringLiteral("--bogus")});
    EXPECT_EQ(unknown.status, 2);
    EXPECT_TRUE(unknown.out.isEmpty());
    EXPECT_TRUE(unknown.err.contains(QStringLiteral("bogus")));
    EXPECT_FALSE(QFile::exists(store));  // none of them touched the store
}

TEST_F(CommandLineTest, StatusReadsAndWritesNothing) {
    EXPECT_EQ(run({QStringLiteral("--status")}).status, 1);  // no settings yet
    const QString today = QDate::currentDate().toString(QStringLiteral("dd-MM-yyyy"));
    setUp("x;3;-;-;-;2220;125\r\n", " ");
    const Run closed = run({QStringLiteral("--status")});
    EXPECT_EQ(closed.status, 0);
    EXPECT_EQ(closed.out, QStringLiteral("Ikke mødt · periode 2220 ct (0 ct) · flex 125 ct\n"));
    setUp("x;3;-;-;-;2220;125\r\n", today.toUtf8() + " 00:00");
    const QByteArray storeBytes = readAll(store);
    const QDateTime dataTime = QFileInfo(data).lastModified();
    const QDateTime storeTime = QFileInfo(store).lastModified();
    const Run open = run({QStringLiteral("--status")});
    EXPECT_TRUE(open.out.startsWith(QStringLiteral("Mødt 00:00 · idag ")))
        << open.out.toStdString();
    EXPECT_EQ(QFileInfo(data).lastModified(), dataTime);
    EXPECT_EQ(QFileInfo(store).lastModified(), storeTime);
    EXPECT_EQ(readAll(store), storeBytes);
    QFile::remove(data);
    const Run noFile = run({QStringLiteral("--status")});
    EXPECT_EQ(noFile.status, 1);
    EXPECT_FALSE(noFile.err.isEmpty());
    EXPECT_FALSE(QFile::exists(data));
}

// Worked out by hand: November two days and a reset, December a day, time off and a line the
// report cannot read.
TEST_F(CommandLineTest, ReportByMonth) {
    setUp(
        "dato;dag;komme;g\xE5;tid;periode;total;kommentar\r\n"
        "03-11-2026;0;-;-;-;0;150\r\n"
        "03-11-2026;1;08:00;16:30;800;800;210;\r\n"
        "04-11-2026;2;08:00;16:00;750;1550;220;\r\n"
        "30-11-2026;0;-;-;-;0;220;periode afsluttet/nulstillet\r\n"
        "\r\n"
        "01-12-2026;1;08:00;15:00;650;650;130;\r\n"
        "02-12-2026;1;-;-;-12,5;638;118;l\xE6ge\r\n"
        "03-12-2026;x;-;-;-;0;99999999999\r\n",
        " ");
    const Run table = run({QStringLiteral("--report")});
    EXPECT_EQ(table.status, 0);
    EXPECT_EQ(table.err, QStringLiteral("Linje 9 kan ikke læses og er sprunget over.\n"));
    const QStringList lines = table.out.split(u'\n', Qt::SkipEmptyParts);
    ASSERT_EQ(lines.size(), 3);
    EXPECT_EQ(lines[1].simplified(), QStringLiteral("2026-11 2 1550 ct 0 ct 1 220 ct"));
    EXPECT_EQ(lines[2].simplified(), QStringLiteral("2026-12 1 650 ct 12 ct 0 118 ct"));
    EXPECT_EQ(run({QStringLiteral("--report=csv")}).out,
              QStringLiteral("måned;arbejdsdage;arbejdstid;afspadsering;nulstillinger;flex\n"
                             "2026-11;2;1550;0;1;220\n2026-12;1;650;12;0;118\n"));
}

}  // namespace
