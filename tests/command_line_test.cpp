// The real program as a user, a panel or a script starts it: one copy at a time, and options
// answered without a window or a graphical session.
#include <gtest/gtest.h>

#include <QDir>
#include <QElapsedTimer>
#include <QFile>
#include <QFileInfo>
#include <QProcess>
#include <QTemporaryDir>
#include <QThread>

namespace {

QByteArray read(const QString& path) {
    QFile f(path);
    return f.open(QIODevice::ReadOnly) ? f.readAll() : QByteArray();
}

void write(const QString& path, const QByteArray& bytes) {
    QFile f(path);
    ASSERT_TRUE(f.open(QIODevice::WriteOnly));
    f.write(bytes);
}

class RealProgram : public ::testing::Test {
protected:
    void SetUp() override {
        QDir(home.path()).mkpath(QStringLiteral("config/horalog"));
        QDir(home.path()).mkpath(QStringLiteral("run"));
        QFile::setPermissions(home.filePath(QStringLiteral("run")),
                              QFile::ReadOwner | QFile::WriteOwner | QFile::ExeOwner);
    }
    void seed(const QByteArray& records, const QByteArray& moedt = " ") {
        write(data, records);
        write(store, "REGEDIT4\n\n[HKEY_CURRENT_USER\\Software\\Kvistborg\\Horalog]\n\"Moedt\"=\"" +
                         moedt +
                         "\"\n\"Arbejdstimer\"=\"7.4\"\n\"FrokostVarighed\"=\"50\"\n"
                         "\"FrokostArbejdstid\"=\"450\"\n\"Filnavn\"=\"" +
                         data.toUtf8() + "\"\n\n");
    }
    // Without arguments the window opens (offscreen); with them, there is no session at all.
    std::unique_ptr<QProcess> start(const QStringList& arguments = {}) {
        auto p = std::make_unique<QProcess>();
        QProcessEnvironment env = QProcessEnvironment::systemEnvironment();
        env.insert(QStringLiteral("HOME"), home.path());
        env.insert(QStringLiteral("XDG_CONFIG_HOME"), home.filePath(QStringLiteral("config")));
        env.insert(QStringLiteral("XDG_RUNTIME_DIR"), home.filePath(QStringLiteral("run")));
        env.insert(QStringLiteral("QT_QPA_PLATFORM"),
                   arguments.isEmpty() ? QStringLiteral("offscreen") : QStringLiteral("none"));
        env.insert(QStringLiteral("ASAN_OPTIONS"), QStringLiteral("detect_leaks=0"));
        env.remove(QStringLiteral("DISPLAY"));
        p->setProcessEnvironment(env);
        p->start(QStringLiteral(HORALOG_BINARY), arguments);
        EXPECT_TRUE(p->waitForStarted(10000));
        return p;
    }
    struct Answer {
        int status;
        QString out, err;
    };
    Answer run(const QString& option) {
        auto p = start({option});
        EXPECT_TRUE(p->waitForFinished(20000));
        return {p->exitCode(), QString::fromUtf8(p->readAllStandardOutput()),
                QString::fromUtf8(p->readAllStandardError())};
    }
    QTemporaryDir home;
    QString data = home.filePath(QStringLiteral("Horalog.Dat"));
    QString store = home.filePath(QStringLiteral("config/horalog/HKEY_CURRENT_USER.reg"));
};

// A second start ends at once and changes nothing; once the first is killed, its lock left
// behind does not block the next start.
TEST_F(RealProgram, OneCopyAtATime) {
    seed("x;2;-;-;-;1500;20\r\n");
    const QByteArray dataBefore = read(data);
    const QByteArray storeBefore = read(store);
    auto first = start();
    QElapsedTimer t;  // the first copy holds its lock once start-up is through
    for (t.start(); !QFile::exists(home.filePath(QStringLiteral("run/horalog/horalog.lock"))) &&
                    t.elapsed() < 20000;) {
        QThread::msleep(50);
    }
    QThread::msleep(500);
    auto second = start();
    ASSERT_TRUE(second->waitForFinished(20000));
    EXPECT_EQ(second->exitCode(), 0);
    EXPECT_EQ(first->state(), QProcess::Running);
    // An option is answered, never a second window, and leaves the first as it is.
    EXPECT_EQ(run(QStringLiteral("--status")).status, 0);
    EXPECT_EQ(first->state(), QProcess::Running);
    // The socket lives in the user's own folder, where no other user can take its name first.
    EXPECT_TRUE(QFileInfo::exists(home.filePath(QStringLiteral("run/horalog/horalog.socket"))));
    EXPECT_EQ(read(data), dataBefore);
    EXPECT_EQ(read(store), storeBefore);
    first->kill();  // SIGKILL: the lock file stays behind
    first->waitForFinished();
    auto next = start();
    EXPECT_FALSE(next->waitForFinished(3000));  // still running: it took the lock over
    next->kill();
    next->waitForFinished();
}

TEST_F(RealProgram, HelpVersionAndUnknownOptions) {
    const Answer version = run(QStringLiteral("--version"));
    EXPECT_EQ(version.status, 0);
    EXPECT_EQ(version.out, QStringLiteral("Horalog 1.7.0\n"));
    const Answer help = run(QStringLiteral("--help"));
    EXPECT_EQ(help.status, 0);
    EXPECT_TRUE(help.out.contains(QStringLiteral("--report=csv"))) << help.out.toStdString();
    const Answer unknown = run(QStringLiteral("--bogus"));
    EXPECT_EQ(unknown.status, 2);
    EXPECT_TRUE(unknown.out.isEmpty() && unknown.err.contains(QStringLiteral("bogus")));
    EXPECT_FALSE(QFile::exists(store));  // none of them touched the store
}

TEST_F(RealProgram, StatusReadsAndWritesNothing) {
    EXPECT_EQ(run(QStringLiteral("--status")).status, 1);  // no settings yet
    seed("x;3;-;-;-;2220;125\r\n");
    EXPECT_EQ(run(QStringLiteral("--status")).out,
              QStringLiteral("Ikke mødt · periode 2220 ct (0 ct) · flex 125 ct\n"));
    seed("x;3;-;-;-;2220;125\r\n",
         QDate::currentDate().toString(QStringLiteral("dd-MM-yyyy")).toUtf8() + " 00:00");
    const QByteArray storeBefore = read(store);
    const QByteArray dataBefore = read(data);
    const QDateTime dataTime = QFileInfo(data).lastModified();
    const QDateTime storeTime = QFileInfo(store).lastModified();
    const Answer open = run(QStringLiteral("--status"));
    EXPECT_TRUE(open.out.startsWith(QStringLiteral("Mødt 00:00 · idag ")))
        << open.out.toStdString();
    EXPECT_EQ(QFileInfo(data).lastModified(), dataTime);
    EXPECT_EQ(QFileInfo(store).lastModified(), storeTime);
    EXPECT_EQ(read(store), storeBefore);
    EXPECT_EQ(read(data), dataBefore);
    QFile::remove(data);
    const Answer noFile = run(QStringLiteral("--status"));
    EXPECT_EQ(noFile.status, 1);
    EXPECT_FALSE(noFile.err.isEmpty() || QFile::exists(data));
}

// Worked out by hand: November two days and a reset, December a day, time off and a line the
// report cannot read.
TEST_F(RealProgram, ReportByMonth) {
    seed(
        "dato;dag;komme;g\xE5;tid;periode;total;kommentar\r\n03-11-2026;0;-;-;-;0;150\r\n"
        "03-11-2026;1;08:00;16:30;800;800;210;\r\n04-11-2026;2;08:00;16:00;750;1550;220;\r\n"
        "30-11-2026;0;-;-;-;0;220;periode afsluttet/nulstillet\r\n\r\n"
        "01-12-2026;1;08:00;15:00;650;650;130;\r\n02-12-2026;1;-;-;-12,5;638;118;l\xE6ge\r\n"
        "03-12-2026;x;-;-;-;0;99999999999\r\n");
    const Answer table = run(QStringLiteral("--report"));
    EXPECT_EQ(table.status, 0);
    EXPECT_EQ(table.err, QStringLiteral("Linje 9 kan ikke læses og er sprunget over.\n"));
    const QStringList lines = table.out.split(u'\n', Qt::SkipEmptyParts);
    ASSERT_EQ(lines.size(), 3);
    EXPECT_EQ(lines[1].simplified(), QStringLiteral("2026-11 2 1550 ct 0 ct 1 220 ct"));
    EXPECT_EQ(lines[2].simplified(), QStringLiteral("2026-12 1 650 ct 12 ct 0 118 ct"));
    EXPECT_EQ(run(QStringLiteral("--report=csv")).out,
              QStringLiteral("måned;arbejdsdage;arbejdstid;afspadsering;nulstillinger;flex\n"
                             "2026-11;2;1550;0;1;220\n2026-12;1;650;12;0;118\n"));
}

}  // namespace
