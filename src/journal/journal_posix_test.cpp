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

// A pipe that each process passes once every process has opened it (closed its writing end):
// children let through by one open() start at the same instant.
struct Gate {
    int fd[2] = {-1, -1};
    Gate() { EXPECT_EQ(::pipe(fd), 0); }
    ~Gate() { open(), ::close(fd[0]); }
    void open() {
        if (fd[1] >= 0) {
            ::close(fd[1]);
        }
        fd[1] = -1;
    }
    bool pass() {
        open();
        char c = 0;
        return ::read(fd[0], &c, 1) == 0;
    }
};

struct NoByteRangeLocks {  // as on a share without a lock service: ENOLCK
    NoByteRangeLocks() { pretendNoByteRangeLocks(true); }
    ~NoByteRangeLocks() { pretendNoByteRangeLocks(false); }
};

QStringList nextRecord(const Figures& f) {
    return {QStringLiteral("x;%1;-;-;-;0;0").arg(f.dage + 1)};
}

// Both found no file and created one at the same instant: the one that found the other's
// record removed the file (it had decided before opening that it created it), in 167 of 300.
TEST(JournalSharing, TwoFirstStartsAtOnceMakeOneFile) {
    QTemporaryDir dir;
    const QString p = dir.filePath(QStringLiteral("Horalog.Dat"));
    for (const bool lockFiles : {false, true}) {
        const int rounds = lockFiles ? 100 : 300;
        int good = 0;
        for (int round = 0; round < rounds; ++round) {
            QFile::remove(p);
            Gate start;
            pid_t children[2];
            for (int i = 0; i < 2; ++i) {
                children[i] = inChild([&, i] {
                    pretendNoByteRangeLocks(lockFiles);
                    start.pass();
                    const FileFigures f =
                        createRegistrationFile(p, QStringLiteral("05-12-2026"), 100 * (i + 1));
                    return f.ok && f.figures ? f.figures->total / 100 : 9;  // whose balance
                });
            }
            start.open();
            const int balance = exitStatus(children[0]);
            const QByteArray expected =
                "dato;dag;komme;g\xE5;tid;periode;total;kommentar\r\n05-12-2026;0;-;-;-;0;" +
                QByteArray::number(balance * 100) + "\r\n";
            const bool one =
                balance <= 2 && exitStatus(children[1]) == balance && readBytes(p) == expected;
            good += one;
            if (!one && round + 1 - good <= 3) {  // name a few, not hundreds
                ADD_FAILURE() << "round " << round << ": " << readBytes(p).toStdString();
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
    Gate start;
    pid_t children[2];
    for (pid_t& child : children) {
        child = inChild([&] {
            pretendNoByteRangeLocks(true);
            start.pass();
            const auto slowly = [](const Figures& f) {
                ::usleep(500);  // the other copy would read the same last record meanwhile
                return nextRecord(f);
            };
            for (int i = 0; i < 100; ++i) {
                if (!appendRecords(p, std::nullopt, {}, slowly).outcome.ok) {
                    return 1;
                }
            }
            return 0;
        });
    }
    start.open();
    EXPECT_EQ(exitStatus(children[0]) + exitStatus(children[1]), 0);
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
    const QByteArray host = ' ' + QSysInfo::machineHostName().toUtf8() + " 7\n";
    const QDateTime now = QDateTime::currentDateTime();
    const struct {
        QByteArray owner;
        QDateTime modified;
        bool takenOver;
    } cases[] = {{QByteArray::number(ended) + host, now, true},        // its process ended
                 {"1 elsewhere 7\n", now.addSecs(-61), true},          // older than any append
                 {QByteArray::number(::getpid()) + host, now, false},  // alive: this process
                 {"1 elsewhere 7\n", now.addSecs(-50), false},
                 {"", now, false}};  // made a moment ago, its owner's name not written yet
    for (const auto& c : cases) {
        const QString p = writeBytes(dir.filePath(QStringLiteral("shared.dat")), "h\r\n");
        const QString lock = writeBytes(p + QStringLiteral(".lock"), c.owner);
        QFile f(lock);
        ASSERT_TRUE(f.open(QIODevice::Append) &&
                    f.setFileTime(c.modified, QFileDevice::FileModificationTime));
        f.close();
        int waits = 0;
        EXPECT_EQ(appendLines(p, {QStringLiteral("r")}, {false, 200, [&waits] { ++waits; }}).ok,
                  c.takenOver)
            << c.owner.toStdString();
        EXPECT_EQ(readBytes(p), c.takenOver ? "h\r\nr\r\n" : "h\r\n");
        EXPECT_EQ(waits > 0, !c.takenOver);
        EXPECT_EQ(QFile::exists(lock), !c.takenOver);  // ours removed, another's left alone
        EXPECT_EQ(readBytes(lock), c.takenOver ? QByteArray() : c.owner);
        QFile::remove(lock);
    }
}

// A lock held by another program for more than the wait once ended the program with «Resource
// temporarily unavailable», after a frozen window.
TEST(JournalSharing, LockHeldByAnotherProcessIsReportedAfterTheWait) {
    QTemporaryDir dir;
    const QByteArray before = "05-12-2026;3;08:00;16:00;750;2220;125;\r\n";
    const QString p = writeBytes(dir.filePath(QStringLiteral("held.dat")), before);
    Gate held, release;
    const pid_t holder = inChild([&] {
        QFile f(p);
        QString error;
        if (!f.open(QIODevice::ReadWrite) || tryLockFile(f.handle(), error) != LockAttempt::Taken) {
            return 1;
        }
        held.open();
        return release.pass() ? 0 : 2;
    });
    ASSERT_TRUE(held.pass());
    int waits = 0;
    QElapsedTimer timer;
    timer.start();
    const LockedAppend locked =
        appendRecords(p, std::nullopt, {}, nextRecord, {false, 400, [&waits] { ++waits; }});
    EXPECT_GE(timer.elapsed(), 400);
    EXPECT_EQ(locked.outcome.problem, FileProblem::Locked);
    EXPECT_EQ(locked.outcome.error,
              QStringLiteral("Registreringsfilen er låst af et andet program. Prøv igen om lidt."));
    EXPECT_GE(waits, 8);  // the window paints while it waits
    EXPECT_EQ(readBytes(p), before);
    release.open();
    EXPECT_EQ(exitStatus(holder), 0);
    EXPECT_TRUE(appendRecords(p, std::nullopt, {}, nextRecord, 0).outcome.ok);
}

// A FIFO at the path once swallowed every record while the window said it was saved; opening
// it for reading blocks. Each check runs in a child, which its alarm ends should it hang.
TEST(JournalOddFiles, OnlyRegularFilesAreRegistrationFiles) {
    QTemporaryDir dir;
    const auto in = [&dir](const char* name) { return dir.filePath(QLatin1String(name)); };
    const auto link = [&in](const QString& target, const char* name) {
        EXPECT_EQ(::symlink(QFile::encodeName(target), QFile::encodeName(in(name))), 0);
        return in(name);
    };
    ASSERT_EQ(::mkfifo(QFile::encodeName(in("fifo")), 0600), 0);
    const QString file = writeBytes(in("file.dat"), "x;1;-;-;-;0;5\r\n");
    const QString odd[] = {in("fifo"), link(in("fifo"), "to-fifo"), dir.path(),
                           QStringLiteral("/dev/null")};
    const std::pair<QString, PathKind> kinds[] = {
        {odd[0], PathKind::NotRegular},
        {odd[1], PathKind::NotRegular},
        {odd[2], PathKind::NotRegular},
        {odd[3], PathKind::NotRegular},
        {file, PathKind::RegularFile},
        {link(file, "to-file"), PathKind::RegularFile},
        {link(in("nowhere"), "dangling"), PathKind::Missing},
        {in("none"), PathKind::Missing}};
    for (const auto& [path, kind] : kinds) {
        EXPECT_EQ(registrationPathKind(path), kind) << path.toStdString();
    }
    for (const QString& path : odd) {
        const pid_t child = inChild([&] {
            QElapsedTimer timer;
            timer.start();
            const FileOutcome appended = appendLines(path, {QStringLiteral("r")});
            const bool refused =
                appended.problem == FileProblem::NotRegular &&
                appended.error == QStringLiteral(
                                      "Stien er ikke en almindelig fil (en mappe, en "
                                      "FIFO eller en enhed).") &&
                readLastRecordLine(path).outcome.problem == FileProblem::NotRegular &&
                (path.startsWith(QLatin1String("/dev/")) ||  // never risk removing a device
                 moveRegistrationFile(path, in("moved.dat"), [] { std::_Exit(3); }).problem ==
                     FileProblem::NotRegular);
            return refused && timer.elapsed() < 1000 ? 0 : 1;
        });
        EXPECT_EQ(exitStatus(child), 0) << path.toStdString();
    }
    EXPECT_FALSE(QFile::exists(in("moved.dat")));
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
        ASSERT_TRUE(QFileInfo(from).isSymLink());
        int stored = 0;
        EXPECT_TRUE(moveRegistrationFile(from, to, [&stored] { ++stored; }).ok) << to.toStdString();
        EXPECT_EQ(stored, 1);
        EXPECT_FALSE(QFileInfo(to).isSymLink());
        EXPECT_EQ(readBytes(to), records + "r;1\r\n");
        EXPECT_FALSE(QFileInfo::exists(target) || QFileInfo(from).isSymLink());
        QFile::remove(to);
    }
}

// With umask 000 a new registration file was writable by everyone.
TEST(JournalOddFiles, NewFilesAreNeverWritableByOthers) {
    struct OpenUmask {
        mode_t saved = ::umask(0);
        ~OpenUmask() { ::umask(saved); }
    } openUmask;
    const auto othersMayWrite = [](const QString& path) {
        struct stat s {};
        return ::stat(QFile::encodeName(path), &s) != 0 || (s.st_mode & (S_IWGRP | S_IWOTH));
    };
    QTemporaryDir dir;
    QTemporaryDir otherVolume(QStringLiteral("/dev/shm/horalog-XXXXXX"));
    const QString created = dir.filePath(QStringLiteral("new.dat"));
    ASSERT_TRUE(createRegistrationFile(created, QStringLiteral("05-12-2026"), 0).ok);
    EXPECT_FALSE(othersMayWrite(created));
    bool lockFileSafe = false;  // looked at while it is held
    {
        const NoByteRangeLocks noLocks;
        const QString lock = QFileInfo(created).canonicalFilePath() + QStringLiteral(".lock");
        appendRecords(created, std::nullopt, {}, [&](const Figures&) {
            lockFileSafe = !othersMayWrite(lock);
            return QStringList();
        });
    }
    EXPECT_TRUE(lockFileSafe);
    if (otherVolume.isValid()) {  // a copy, not a second link
        const QString copy = otherVolume.filePath(QStringLiteral("copy.dat"));
        ASSERT_TRUE(moveRegistrationFile(created, copy, [] {}).ok);
        EXPECT_FALSE(othersMayWrite(copy));
    }
}

}  // namespace
}  // namespace horalog

#endif
