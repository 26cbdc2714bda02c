// The real program started twice: the second start ends at once and changes nothing, and a lock
// left by a killed program does not block the next start.
#include <gtest/gtest.h>

#include <QDir>
#include <QElapsedTimer>
#include <QFile>
#include <QFileInfo>
#include <QProcess>
#include <QTemporaryDir>
#include <QThread>

namespace {

class SingleInstanceTest : public ::testing::Test {
protected:
    void SetUp() override {
        ASSERT_TRUE(home.isValid());
        QDir(home.path()).mkpath(QStringLiteral("config/horalog"));
        QDir(home.path()).mkpath(QStringLiteral("run"));
        QFile::setPermissions(home.filePath(QStringLiteral("run")),
                              QFile::ReadOwner | QFile::WriteOwner | QFile::ExeOwner);
        data = home.filePath(QStringLiteral("Horalog.Dat"));
        store = home.filePath(QStringLiteral("config/horalog/HKEY_CURRENT_USER.reg"));
        write(data, "x;2;-;-;-;1500;20\r\n");
        write(
            store,
            "REGEDIT4\n\n[HKEY_CURRENT_USER\\Software\\Kvistborg\\Horalog]\n\"Moedt\"=\" \"\n"
            "\"Arbejdstimer\"=\"7.4\"\n\"FrokostVarighed\"=\"50\"\n\"FrokostArbejdstid\"=\"450\"\n"
            "\"Filnavn\"=\"" +
                data.toUtf8() + "\"\n\n");
    }
    static void write(const QString& path, const QByteArray& bytes) {
        QFile f(path);
        ASSERT_TRUE(f.open(QIODevice::WriteOnly));
        f.write(bytes);
    }
    static QByteArray read(const QString& path) {
        QFile f(path);
        return f.open(QIODevice::ReadOnly) ? f.readAll() : QByteArray();
    }
    std::unique_ptr<QProcess> launch() {
        auto p = std::make_unique<QProcess>();
        QProcessEnvironment env = QProcessEnvironment::systemEnvironment();
        env.insert(QStringLiteral("HOME"), home.path());
        env.insert(QStringLiteral("XDG_CONFIG_HOME"), home.filePath(QStringLiteral("config")));
        env.insert(QStringLiteral("XDG_RUNTIME_DIR"), home.filePath(QStringLiteral("run")));
        env.insert(QStringLiteral("QT_QPA_PLATFORM"), QStringLiteral("offscreen"));
        env.insert(QStringLiteral("ASAN_OPTIONS"), QStringLiteral("detect_leaks=0"));
        p->setProcessEnvironment(env);
        p->start(QStringLiteral(HORALOG_BINARY), {});
        EXPECT_TRUE(p->waitForStarted(10000));
        return p;
    }
    // The first copy holds its lock once start-up is through.
    bool waitForLock() {
        QElapsedTimer t;
        t.start();
        while (t.elapsed() < 20000) {
            if (QFile::exists(home.filePath(QStringLiteral("run/horalog/horalog.lock")))) {
                QThread::msleep(500);
                return true;
            }
            QThread::msleep(50);
        }
        return false;
    }

    QTemporaryDir home;
    QString data;
    QString store;
};

TEST_F(SingleInstanceTest, SecondStartEndsAndTheFirstKeepsRunning) {
    const QByteArray dataBefore = read(data);
    const QByteArray storeBefore = read(store);
    auto first = launch();
    ASSERT_TRUE(waitForLock());
    auto second = launch();
    ASSERT_TRUE(second->waitForFinished(20000));
    EXPECT_EQ(second->exitStatus(), QProcess::NormalExit);
    EXPECT_EQ(second->exitCode(), 0);
    EXPECT_EQ(first->state(), QProcess::Running);
    // The socket lives in the user's own folder, where no other user can take its name first.
    const QFileInfo socket(home.filePath(QStringLiteral("run/horalog/horalog.socket")));
    EXPECT_TRUE(socket.exists());
    EXPECT_EQ(socket.owner(), QFileInfo(home.path()).owner());
    EXPECT_EQ(read(data), dataBefore);
    EXPECT_EQ(read(store), storeBefore);
    first->kill();
    first->waitForFinished();
}

TEST_F(SingleInstanceTest, LockOfAKilledProgramDoesNotBlock) {
    auto first = launch();
    ASSERT_TRUE(waitForLock());
    first->kill();  // SIGKILL: the lock file stays behind
    first->waitForFinished();
    ASSERT_TRUE(QFile::exists(home.filePath(QStringLiteral("run/horalog/horalog.lock"))));
    auto next = launch();
    EXPECT_FALSE(next->waitForFinished(3000));  // still running: it took the lock over
    EXPECT_EQ(next->state(), QProcess::Running);
    next->kill();
    next->waitForFinished();
}

}  // namespace
