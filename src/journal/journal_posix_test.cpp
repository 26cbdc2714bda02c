// The registration file shared by two copies of the program, and odd things at its path. POSIX
// only: each case needs fork, a FIFO, a symlink or the umask.
#ifndef _WIN32

#include <gtest/gtest.h>
#include <sys/stat.h>
#include <sys/wait.h>
#include <unistd.h>

#include <QDateTime>
#include <QDir>
#include <QElapsedTimer>
#include <QFile>
#include <QFileInfo>
#include <QSysInfo>
#include <QTemporaryDir>
#include <functional>

#include "file_bytes.h"
#include "journal/journal_file.h"
#include "journal/record.h"
#include "platform/file_sync.h"

namespace horalog {
namespace {

using testing::readBytes;
using testing::writeBytes;

const QString kDate = QStringLiteral("05-12-2026");
const QString kLocked =
    QStringLiteral("Registreringsfilen er låst af et andet program. Prøv igen om lidt.");

// Runs the step in a child process, which an alarm ends should it hang; the step's result is
// the child's exit status.
pid_t inChild(const std::function<int()>& step) {
    const pid_t child = ::fork();
    if (child == 0) {
        ::alarm(30);
        ::_exit(step());
    }
    return child;
}

int exitStatus(pid_t child) {
    int status = 0;
    ::waitpid(child, &status, 0);
    return WIFEXITED(status) ? WEXITSTATUS(status) : 128 + WTERMSIG(status);
}

// A pipe whose closing lets every child waiting on it go at the same instant.
class StartingGun {
public:
    StartingGun() { EXPECT_EQ(::pipe(fds_), 0); }
    ~StartingGun() {
        fire();
        ::close(fds_[0]);
    }
    StartingGun(const StartingGun&) = delete;
    StartingGun& operator=(const StartingGun&) = delete;
    void wait() {  // in a child
        fire();
        char c = 0;
        if (::read(fds_[0], &c, 1) < 0) {
            ::_exit(99);
        }
    }
    void fire() {
        if (fds_[1] >= 0) {
            ::close(fds_[1]);
            fds_[1] = -1;
        }
    }

private:
    int fds_[2] = {-1, -1};
};

// Byte-range locks fail with ENOLCK in this process while it lives, as on a share without them.
struct NoByteRangeLocks {
    NoByteRangeLocks() { pretendNoByteRangeLocks(true); }
    ~NoByteRangeLocks() { pretendNoByteRangeLocks(false); }
};

QStringList nextRecord(const Figures& f) {
    return {QStringLiteral("x;%1;-;-;-;0;0").arg(f.dage + 1)};
}

// Both found no file and created one at the same instant: the one that found the other's
// record removed the file (it decided it had created it before opening it), in 167 of 300.
TEST(JournalSharing, TwoFirstStartsAtOnceMakeOneFile) {
    QTemporaryDir dir;
    const QString p = dir.filePath(QStringLiteral("Horalog.Dat"));
    for (const bool lockFiles : {false, true}) {
        const int rounds = lockFiles ? 100 : 300;
        int good = 0;
        int bad = 0;
        for (int round = 0; round < rounds; ++round) {
            QFile::remove(p);
            StartingGun gun;
            pid_t children[2];
            for (int i = 0; i < 2; ++i) {
                children[i] = inChild([&, i] {
                    pretendNoByteRangeLocks(lockFiles);
                    gun.wait();
                    const FileFigures f = createRegistrationFile(p, kDate, 100 * (i + 1));
                    return f.ok && f.figures ? f.figures->total / 100 : 9;  // whose balance
                });
            }
            gun.fire();
            const int balances[] = {exitStatus(children[0]), exitStatus(children[1])};
            const QByteArray expected =
                "dato;dag;komme;g\xE5;tid;periode;total;kommentar\r\n05-12-2026;0;-;-;-;0;" +
                QByteArray::number(balances[0] * 100) + "\r\n";
            if ((balances[0] == 1 || balances[0] == 2) && balances[1] == balances[0] &&
                readBytes(p) == expected) {
                ++good;
            } else if (++bad <= 3) {  // name a few, not hundreds
                ADD_FAILURE() << "round " << round << ": " << balances[0] << ", " << balances[1]
                              << ", file " << readBytes(p).toStdString();
            }
        }
        EXPECT_EQ(good, rounds) << (lockFiles ? "lock files" : "byte-range locks");
        EXPECT_FALSE(QFile::exists(p + QStringLiteral(".lock")));
    }
}

// Where byte-range locks fail (ENOLCK on a share without a lock service) every append once
// failed and ended the program; now a lock file beside the registration file serves.
TEST(JournalSharing, LockFileSerialisesWhereByteRangeLocksFail) {
    QTemporaryDir dir;
    const QString p = writeBytes(dir.filePath(QStringLiteral("shared.dat")), "x;0;-;-;-;0;0\r\n");
    StartingGun gun;
    pid_t children[2];
    for (pid_t& child : children) {
        child = inChild([&] {
            pretendNoByteRangeLocks(true);
            gun.wait();
            for (int i = 0; i < 100; ++i) {
                const auto slowly = [](const Figures& f) {
                    ::usleep(500);  // the other copy would read the same last record meanwhile
                    return nextRecord(f);
                };
                if (!appendRecords(p, std::nullopt, {}, slowly).outcome.ok) {
                    return 1;
                }
            }
            return 0;
        });
    }
    gun.fire();
    EXPECT_EQ(exitStatus(children[0]), 0);
    EXPECT_EQ(exitStatus(children[1]), 0);
    QByteArray expected;  // each append built on the one before it: none lost, none twice
    for (int n = 0; n <= 200; ++n) {
        expected += "x;" + QByteArray::number(n) + ";-;-;-;0;0\r\n";
    }
    EXPECT_EQ(readBytes(p), expected);
    EXPECT_FALSE(QFile::exists(p + QStringLiteral(".lock")));
}

// A lock file left by a program that died is taken over at once; one whose owner may still be
// at work is waited for, then the append reports the lock and writes nothing.
TEST(JournalSharing, StaleLockFileIsTakenOverLiveOneWaitedFor) {
    QTemporaryDir dir;
    const NoByteRangeLocks noLocks;
    const pid_t ended = inChild([] { return 0; });
    ASSERT_EQ(exitStatus(ended), 0);  // reaped: its number names no process now
    const QByteArray host = QSysInfo::machineHostName().toUtf8();
    const QDateTime now = QDateTime::currentDateTime();
    const struct {
        QByteArray owner;
        QDateTime modified;
        bool takenOver;
    } cases[] = {
        {QByteArray::number(ended) + ' ' + host + " 7\n", now, true},  // its process ended
        {"1 another-machine 7\n", now.addSecs(-61), true},  // older than any append takes
        {"", now.addSecs(-61), true},                       // died before writing its name
        {QByteArray::number(::getpid()) + ' ' + host + " 7\n", now, false},  // alive: this one
        {"1 another-machine 7\n", now.addSecs(-50), false},
        {"", now, false},  // made a moment ago, its owner's name not written yet
    };
    for (const auto& c : cases) {
        const QString p = writeBytes(dir.filePath(QStringLiteral("shared.dat")), "h\r\n");
        const QString lock = writeBytes(p + QStringLiteral(".lock"), c.owner);
        {
            QFile f(lock);
            ASSERT_TRUE(f.open(QIODevice::Append) &&
                        f.setFileTime(c.modified, QFileDevice::FileModificationTime));
        }
        int waits = 0;
        const FileOutcome o =
            appendLines(p, {QStringLiteral("r")}, {false, 200, [&waits] { ++waits; }});
        EXPECT_EQ(o.problem, c.takenOver ? FileProblem::None : FileProblem::Locked)
            << c.owner.toStdString();
        EXPECT_EQ(readBytes(p), c.takenOver ? "h\r\nr\r\n" : "h\r\n");
        EXPECT_EQ(waits > 0, !c.takenOver);
        // Removed once done; another's left alone.
        EXPECT_EQ(readBytes(lock), c.takenOver ? QByteArray() : c.owner);
        EXPECT_EQ(QFile::exists(lock), !c.takenOver);
        QFile::remove(lock);
    }
}

// A lock held by another program for more than the wait once ended the program with «Resource
// temporarily unavailable», after a frozen window.
TEST(JournalSharing, LockHeldByAnotherProcessIsReportedAfterTheWait) {
    QTemporaryDir dir;
    const QByteArray before = "05-12-2026;3;08:00;16:00;750;2220;125;\r\n";
    const QString p = writeBytes(dir.filePath(QStringLiteral("held.dat")), before);
    int held[2];
    int release[2];
    ASSERT_EQ(::pipe(held), 0);
    ASSERT_EQ(::pipe(release), 0);
    const pid_t holder = inChild([&] {
        ::close(release[1]);
        QFile f(p);
        QString error;
        if (!f.open(QIODevice::ReadWrite) || !lockFile(f.handle(), 0, error) ||
            ::write(held[1], "x", 1) != 1) {
            return 1;
        }
        char c = 0;
        return ::read(release[0], &c, 1) == 0 ? 0 : 2;  // until the test lets go
    });
    ::close(held[1]);
    ::close(release[0]);
    char c = 0;
    ASSERT_EQ(::read(held[0], &c, 1), 1);
    int waits = 0;
    QElapsedTimer timer;
    timer.start();
    const LockedAppend locked =
        appendRecords(p, std::nullopt, {}, nextRecord, {false, 400, [&waits] { ++waits; }});
    EXPECT_GE(timer.elapsed(), 400);
    EXPECT_EQ(locked.outcome.problem, FileProblem::Locked);
    EXPECT_EQ(locked.outcome.error, kLocked);
    EXPECT_GE(waits, 8);  // every 20 to 50 ms
    EXPECT_EQ(readBytes(p), before);
    ::close(release[1]);
    ::close(held[0]);
    EXPECT_EQ(exitStatus(holder), 0);
    EXPECT_TRUE(appendRecords(p, std::nullopt, {}, nextRecord, 0).outcome.ok);
}

// A FIFO at the path once swallowed every record while the window said it was saved; opening
// it for reading blocks. Each check runs in a child, which its alarm ends should it hang.
TEST(JournalOddFiles, OnlyRegularFilesAreRegistrationFiles) {
    QTemporaryDir dir;
    const QString fifo = dir.filePath(QStringLiteral("fifo"));
    ASSERT_EQ(::mkfifo(QFile::encodeName(fifo).constData(), 0600), 0);
    const QString file = writeBytes(dir.filePath(QStringLiteral("file.dat")), "x;1;-;-;-;0;5\r\n");
    const auto link = [&dir](const QString& target, const char* name) {
        const QString path = dir.filePath(QLatin1String(name));
        EXPECT_EQ(
            ::symlink(QFile::encodeName(target).constData(), QFile::encodeName(path).constData()),
            0);
        return path;
    };
    const QString toFifo = link(fifo, "to-fifo");
    const std::pair<QString, PathKind> kinds[] = {
        {fifo, PathKind::NotRegular},
        {toFifo, PathKind::NotRegular},
        {dir.path(), PathKind::NotRegular},
        {QStringLiteral("/dev/null"), PathKind::NotRegular},
        {file, PathKind::RegularFile},
        {link(file, "to-file"), PathKind::RegularFile},
        {link(dir.filePath(QStringLiteral("nowhere")), "dangling"), PathKind::Missing},
        {dir.filePath(QStringLiteral("none")), PathKind::Missing}};
    for (const auto& [path, kind] : kinds) {
        EXPECT_EQ(registrationPathKind(path), kind) << path.toStdString();
    }
    const QString moved = dir.filePath(QStringLiteral("moved.dat"));
    for (const QString& odd : {fifo, toFifo, dir.path(), QStringLiteral("/dev/null")}) {
        const pid_t child = inChild([&] {
            QElapsedTimer timer;
            timer.start();
            const FileProblem problems[] = {
                appendLines(odd, {QStringLiteral("r")}).problem,
                readLastRecordLine(odd).outcome.problem, readFileFigures(odd).problem,
                createRegistrationFile(odd, kDate, 0).problem,
                // Never /dev/null: a fault there could remove it.
                odd.startsWith(QLatin1String("/dev/"))
                    ? FileProblem::NotRegular
                    : moveRegistrationFile(odd, moved, [] { std::_Exit(3); }).problem};
            for (const FileProblem problem : problems) {
                if (problem != FileProblem::NotRegular) {
                    return 1;
                }
            }
            const bool named = appendLines(odd, {}).error ==
                               QStringLiteral(
                                   "Stien er ikke en almindelig fil (en mappe, en FIFO "
                                   "eller en enhed).");
            return !named ? 2 : timer.elapsed() > 1000 ? 4 : 0;
        });
        EXPECT_EQ(exitStatus(child), 0) << odd.toStdString();
    }
    EXPECT_FALSE(QFile::exists(moved));
}

// Moving a relative symlink once made a second link of the link itself in the new folder, where
// it pointed nowhere, and removed the old name: the stored path named no records.
TEST(JournalOddFiles, SymlinkedFileMovesAsItsTarget) {
    QTemporaryDir dir;
    QTemporaryDir otherVolume(QStringLiteral("/dev/shm/horalog-XXXXXX"));  // copied, not linked
    QStringList destinations{dir.filePath(QStringLiteral("b/new.dat"))};
    if (otherVolume.isValid()) {
        destinations << otherVolume.filePath(QStringLiteral("new.dat"));
    }
    const QByteArray records = "dato;dag\r\n06-12-2026;1;08:00;16:30;800;800;60;\r\n";
    ASSERT_TRUE(QDir(dir.path()).mkpath(QStringLiteral("b")));
    for (const QString& to : destinations) {
        const QString target = writeBytes(dir.filePath(QStringLiteral("a/real.dat")), records);
        const QString from = dir.filePath(QStringLiteral("Horalog.Dat"));
        ASSERT_EQ(::symlink("a/real.dat", QFile::encodeName(from).constData()), 0);
        // An append goes through the link to the file it names.
        ASSERT_TRUE(appendLines(from, {QStringLiteral("r;1")}).ok);
        EXPECT_EQ(readBytes(target), records + "r;1\r\n");
        ASSERT_TRUE(QFileInfo(from).isSymLink());
        int stored = 0;
        EXPECT_TRUE(moveRegistrationFile(from, to, [&stored] { ++stored; }).ok) << to.toStdString();
        EXPECT_EQ(stored, 1);
        EXPECT_FALSE(QFileInfo(to).isSymLink());
        EXPECT_EQ(readBytes(to), records + "r;1\r\n");
        EXPECT_FALSE(QFileInfo::exists(target));
        EXPECT_FALSE(QFileInfo(from).isSymLink());
        QFile::remove(to);
    }
}

bool writableByOthers(const QString& path) {
    struct stat s {};
    return ::stat(QFile::encodeName(path).constData(), &s) != 0 ||
           (s.st_mode & (S_IWGRP | S_IWOTH)) != 0;
}

// With umask 000 a new registration file was writable by everyone.
TEST(JournalOddFiles, NewFilesAreNeverWritableByOthers) {
    struct OpenUmask {
        mode_t saved = ::umask(0);
        ~OpenUmask() { ::umask(saved); }
    } openUmask;
    QTemporaryDir dir;
    QTemporaryDir otherVolume(QStringLiteral("/dev/shm/horalog-XXXXXX"));
    const QString created = dir.filePath(QStringLiteral("new.dat"));
    ASSERT_TRUE(createRegistrationFile(created, kDate, 0).ok);
    EXPECT_FALSE(writableByOthers(created));
    bool lockFileSafe = false;  // looked at while it is held
    {
        const NoByteRangeLocks noLocks;
        const QString lock = QFileInfo(created).canonicalFilePath() + QStringLiteral(".lock");
        appendRecords(created, std::nullopt, {}, [&](const Figures&) {
            lockFileSafe = !writableByOthers(lock);
            return QStringList();
        });
    }
    EXPECT_TRUE(lockFileSafe);
    if (otherVolume.isValid()) {  // a copy, not a second link
        const QString copy = otherVolume.filePath(QStringLiteral("copy.dat"));
        ASSERT_TRUE(moveRegistrationFile(created, copy, [] {}).ok);
        EXPECT_FALSE(writableByOthers(copy));
    }
}

}  // namespace
}  // namespace horalog

#endif
