// The file shared by two copies, and odd things at its path: fork, FIFOs, symlinks, the umask.
#ifndef _WIN32

#include <gtest/gtest.h>
#include <sys/stat.h>
#include <sys/wait.h>
#include <unistd.h>

#include <QSysInfo>
#include <QTemporaryDir>
#include <functional>
#include <vector>

#include "file_bytes.h"
#include "journal/file_figures.h"
#include "plain_append.h"
#include "platform/file_sync.h"

namespace horalog {
namespace {

using testing::readBytes;
using testing::writeBytes;

// The step's exit statuses from `count` children let through at once; an alarm ends a hang.
std::vector<int> inChildren(int count, const std::function<int(int)>& step) {
    int gate[2] = {-1, -1};
    EXPECT_EQ(::pipe(gate), 0);
    std::vector<int> children;  // process ids, then their statuses
    for (int i = 0; i < count; ++i) {
        if (const pid_t child = ::fork(); child == 0) {
            char c = 0;
            ::alarm(30);
            ::close(gate[1]);
            ::_exit(::read(gate[0], &c, 1) == 0 ? step(i) : 10);
        } else {
            children.push_back(child);
        }
    }
    ::close(gate[1]);
    ::close(gate[0]);
    for (int& child : children) {
        int status = 0;
        ::waitpid(child, &status, 0);
        child = WIFEXITED(status) ? WEXITSTATUS(status) : 128 + WTERMSIG(status);
    }
    return children;
}

// With umask 000 a new file, its lock file and a copy were once writable by everyone.
bool othersMayWrite(const QString& path) {
    struct stat s {};
    return ::stat(QFile::encodeName(path), &s) != 0 || (s.st_mode & (S_IWGRP | S_IWOTH));
}

struct JournalPosix : ::testing::Test {
    QString in(const char* name) const { return dir.filePath(QLatin1String(name)); }
    QTemporaryDir dir;
    QTemporaryDir otherVolume{QStringLiteral("/dev/shm/horalog-XXXXXX")};  // copied, not linked
};
using JournalSharing = JournalPosix;
using JournalOddFiles = JournalPosix;

// Two first starts at once both created the file, and one removed the other's record, in 167 of
// 300. Where byte-range locks fail, every append once ended the program: a lock file serves.
TEST_F(JournalSharing, TwoCopiesAtOnceMakeOneFileAndLoseNoRecord) {
    const QString p = in("Horalog.Dat");
    for (const bool lockFiles : {false, true}) {
        const auto slowly = [&](const Figures& f) {
            ::usleep(500);  // the other copy would read the same last record meanwhile
            // A lock file others may write spoils the record, so the round counts as bad.
            const bool safe =
                !lockFiles || !othersMayWrite(QFileInfo(p).canonicalFilePath() + ".lock");
            return QStringList{
                QStringLiteral("x;%1;-;-;-;0;%2").arg(f.dage + 1).arg(safe ? f.total : 7)};
        };
        int bad = 0;
        for (int round = 0; round < (lockFiles ? 100 : 200); ++round) {
            QFile::remove(p);
            const std::vector<int> found = inChildren(2, [&](int i) {
                ::umask(0);
                pretendNoByteRangeLocks(lockFiles);
                const FileFigures f =
                    createRegistrationFile(p, QStringLiteral("05-12-2026"), 100 * (i + 1));
                for (int n = 0; n < 2; ++n) {
                    if (!appendRecords(p, std::nullopt, {}, slowly).ok()) {
                        return 8;
                    }
                }
                return f.ok() && f->figures ? f->figures->total / 100
                                            : 9;  // whose balance it found
            });
            const QByteArray balance = QByteArray::number(found[0] * 100);
            QByteArray expected = "dato;dag;komme;g\xE5;tid;periode;total;kommentar\r\n";
            for (int n = 0; n <= 4; ++n) {  // each append built on the one before: none lost
                expected += (n == 0 ? "05-12-2026;" : "x;") + QByteArray::number(n) + ";-;-;-;0;" +
                            balance + "\r\n";
            }
            const bool one = (found[0] == 1 || found[0] == 2) && found[1] == found[0] &&
                             readBytes(p) == expected;
            bad += !one;
            EXPECT_TRUE(one || bad > 3) << round << ": " << readBytes(p).toStdString();  // a few
        }
        EXPECT_EQ(bad, 0) << (lockFiles ? "lock files" : "byte-range locks");
        EXPECT_FALSE(QFile::exists(p + QStringLiteral(".lock")));
        EXPECT_FALSE(othersMayWrite(p));
    }
}

// A lock file whose owner may be at work is waited for, painting the window, then the append
// reports the lock; one left by a program that died is taken over, and ours goes with the append.
TEST_F(JournalSharing, StaleLockFileIsTakenOverLiveOneWaitedFor) {
    pretendNoByteRangeLocks(true);  // as on a share without a lock service: ENOLCK
    const QByteArray host = ' ' + QSysInfo::machineHostName().toUtf8() + " 7\n";
    for (const bool alive : {true, false}) {
        const QString p = writeBytes(in("shared.dat"), "h\r\n");
        const QByteArray owner = QByteArray::number(alive ? ::getpid() : 4194304) + host;
        const QString lock = writeBytes(p + QStringLiteral(".lock"), owner);
        int waits = 0;
        const FileOutcome done =
            testing::appendPlain(p, {QStringLiteral("r")}, {false, 300, [&waits] { ++waits; }});
        EXPECT_EQ(done.ok() ? FileProblem::None : done.error().problem,
                  alive ? FileProblem::Locked : FileProblem::None);
        EXPECT_EQ(readBytes(p), alive ? "h\r\n" : "h\r\nr\r\n");
        EXPECT_EQ(waits > 0, alive);
        EXPECT_EQ(readBytes(lock), alive ? owner : QByteArray());  // another's left alone
        QFile::remove(lock);
    }
    pretendNoByteRangeLocks(false);
}

// Moved to another volume while another copy appended: in 4 of 5 tries records reported saved
// were lost with the old file. The writer finds the file moved and follows the store (a file).
TEST_F(JournalSharing, AMoveWhileAnotherCopyAppendsLosesNoRecord) {
    if (!otherVolume.isValid()) {
        GTEST_SKIP() << "no writable tmpfs at /dev/shm for a move across volumes";
    }
    const QString stored = in("store");
    const QString stop = in("stop");
    // Until the writer has appended a few records more to the file at the path.
    const auto appended = [](const QString& path, qint64 size) {
        for (int wait = 0; wait < 3000 && QFileInfo(path).size() < size + 30; ++wait) {
            ::usleep(1000);
        }
    };
    const QByteArray years = QByteArray("x;1;-;-;-;0;5\r\n").repeated(200000);  // a slow copy
    for (int round = 0; round < 5; ++round) {
        const QString from = in("Horalog.Dat");
        const QString to = otherVolume.filePath(QStringLiteral("moved%1.dat").arg(round));
        writeBytes(from, years);
        if (QFile f(from); f.open(QIODevice::ReadOnly)) {
            ::fsync(f.handle());  // the appends' syncs are quick, so many fall within the copy
        }
        writeBytes(stored, from.toUtf8());
        QFile::remove(stop);
        int saved[2];
        ASSERT_EQ(::pipe(saved), 0);
        const pid_t writer = ::fork();
        if (writer == 0) {
            ::alarm(30);
            int n = 0;
            while (!QFile::exists(stop)) {
                const QString path = QString::fromUtf8(readBytes(stored));
                const FileOutcome done =
                    testing::appendPlain(path, {QStringLiteral("r;%1").arg(n + 1)}, {true});
                if (done.ok()) {
                    ++n;  // reported saved
                } else if (done.error().problem != FileProblem::Missing) {
                    ::_exit(2);
                }
            }
            (void)!::write(saved[1], &n, sizeof n);
            ::_exit(0);
        }
        appended(from, years.size());
        const mode_t savedMask = ::umask(0);
        ASSERT_TRUE(moveRegistrationFile(from, to, [&] {
                        ::usleep(20000);  // a store's write, synced, takes a moment
                        writeBytes(stored + QStringLiteral(".new"), to.toUtf8());
                        ::rename(QFile::encodeName(stored + QStringLiteral(".new")),
                                 QFile::encodeName(stored));
                        return true;
                    }).ok());
        ::umask(savedMask);
        appended(to, QFileInfo(to).size());
        writeBytes(stop, "");
        int status = 0, n = 0;
        ASSERT_EQ(::waitpid(writer, &status, 0), writer);
        ASSERT_EQ(status, 0);
        ASSERT_EQ(::read(saved[0], &n, sizeof n), static_cast<ssize_t>(sizeof n));
        ::close(saved[0]);
        ::close(saved[1]);
        QByteArray expected = years;
        for (int i = 1; i <= n; ++i) {
            expected += "r;" + QByteArray::number(i) + "\r\n";
        }
        const QByteArray found = readBytes(to);
        EXPECT_EQ(found.size(), expected.size()) << "round " << round << ": " << n << " saved";
        EXPECT_FALSE(othersMayWrite(to));
        EXPECT_TRUE(found == expected) << "round " << round;
        EXPECT_FALSE(QFile::exists(from));
        QFile::remove(to);
    }
}

// A FIFO once swallowed every record said saved; each refusal is tried in a child, as it may
// block. Moving a relative symlink once made a link pointing nowhere and removed the old name.
TEST_F(JournalOddFiles, OnlyRegularFilesAreUsedAndSymlinksFollowed) {
    const auto link = [this](const QString& target, const char* name) {
        EXPECT_EQ(::symlink(QFile::encodeName(target), QFile::encodeName(in(name))), 0);
        return in(name);
    };
    ASSERT_EQ(::mkfifo(QFile::encodeName(in("fifo")), 0600), 0);
    const QString file = writeBytes(in("file.dat"), "x;1;-;-;-;0;5\r\n");
    const std::pair<QString, PathKind> kinds[] = {
        {in("fifo"), PathKind::NotRegular},
        {link(in("fifo"), "to-fifo"), PathKind::NotRegular},
        {dir.path(), PathKind::NotRegular},
        {QStringLiteral("/dev/null"), PathKind::NotRegular},
        {file, PathKind::RegularFile},
        {link(QStringLiteral("file.dat"), "to-file"), PathKind::RegularFile},
        {link(in("nowhere"), "dangling"), PathKind::Missing},
        {in("none"), PathKind::Missing}};
    for (const auto& [path, kind] : kinds) {
        EXPECT_EQ(registrationPathKind(path), kind) << path.toStdString();
        if (kind != PathKind::NotRegular) {
            continue;
        }
        const std::vector<int> status = inChildren(1, [&path = path, this](int) {
            const auto notRegular = [](const auto& result) {
                return !result.ok() && result.error().problem == FileProblem::NotRegular;
            };
            const FileOutcome appended = testing::appendPlain(path, {QStringLiteral("r")});
            const bool refused =
                notRegular(appended) &&
                appended.error().text == QStringLiteral(
                                             "Stien er ikke en almindelig fil (en "
                                             "mappe, en FIFO eller en enhed).") &&
                notRegular(readLastRecordLine(path)) &&
                (path.startsWith(QLatin1String("/dev/")) ||  // never risk removing a device
                 notRegular(
                     moveRegistrationFile(path, in("moved.dat"), []() -> bool { std::_Exit(3); })));
            return refused ? 0 : 1;
        });
        EXPECT_EQ(status[0], 0) << path.toStdString();
    }
    EXPECT_FALSE(QFile::exists(in("moved.dat")));
    ASSERT_TRUE(
        testing::appendPlain(in("to-file"), {QStringLiteral("r;1")}).ok());  // through the link
    ASSERT_TRUE(QFileInfo(in("to-file")).isSymLink() &&
                QDir(dir.path()).mkdir(QStringLiteral("b")));
    ASSERT_TRUE(moveRegistrationFile(in("to-file"), in("b/new.dat"), [] { return true; }).ok());
    EXPECT_FALSE(QFileInfo(in("b/new.dat")).isSymLink());
    EXPECT_EQ(readBytes(in("b/new.dat")), "x;1;-;-;-;0;5\r\nr;1\r\n");
    EXPECT_FALSE(QFileInfo::exists(file) || QFileInfo(in("to-file")).isSymLink());
}

}  // namespace
}  // namespace horalog

#endif
