// The file shared by two copies, odd things at its path (FIFOs, symlinks, the umask), a full disk.
#ifndef _WIN32

#include <gtest/gtest.h>
#include <sys/stat.h>
#include <sys/wait.h>
#include <unistd.h>

#include <QTemporaryDir>
#include <functional>
#include <vector>

#include "file_bytes.h"
#include "journal/file_figures.h"
#include "plain_append.h"
#include "platform/file_sync.h"
#include "size_limit.h"

namespace horalog {
namespace {

using namespace Qt::StringLiterals;
using testing::appendPlain;
using testing::readBytes;
using testing::writeBytes;

// Exit statuses of `count` children let go at once while `meanwhile` runs; an alarm ends a hang.
std::vector<int> inChildren(
    int count, const std::function<int(int)>& step,
    const std::function<void()>& meanwhile = [] {}) {
    int gate[2] = {-1, -1};
    EXPECT_EQ(::pipe(gate), 0);
    std::vector<int> children;  // process ids, then their statuses
    for (int i = 0; i < count; ++i) {
        if (children.emplace_back(::fork()) == 0) {
            char c = 0;
            ::alarm(30);
            ::close(gate[1]);
            ::_exit(::read(gate[0], &c, 1) == 0 ? step(i) : 10);
        }
    }
    ::close(gate[1]);
    ::close(gate[0]);
    meanwhile();
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
    QTemporaryDir otherVolume{u"/dev/shm/horalog-XXXXXX"_s};  // copied, not linked
};
using JournalSharing = JournalPosix;
using JournalOddFiles = JournalPosix;
using JournalFullDisk = JournalPosix;

// Two first starts at once both made the file; where byte-range locks fail a lock file serves.
TEST_F(JournalSharing, TwoCopiesAtOnceMakeOneFileAndLoseNoRecord) {
    const QString p = in("Horalog.Dat");
    // Each append built on the one before, on the balance the copy that made the file found.
    const QString file =
        u"dato;dag;komme;gå;tid;periode;total;kommentar\r\n05-12-2026;0;-;-;-;0;%1\r\n"
        "x;1;-;-;-;0;%1\r\nx;2;-;-;-;0;%1\r\nx;3;-;-;-;0;%1\r\nx;4;-;-;-;0;%1\r\n"_s;
    for (const bool lockFiles : {false, true}) {
        const auto slowly = [&](const Figures& f) {
            ::usleep(500);     // the other copy would read the same last record meanwhile
            const bool safe =  // a lock file others may write spoils the record: a bad round
                !lockFiles || !othersMayWrite(QFileInfo(p).canonicalFilePath() + ".lock");
            return QStringList{u"x;%1;-;-;-;0;%2"_s.arg(f.dage + 1).arg(safe ? f.total : 7)};
        };
        int bad = 0;
        for (int round = 0; round < (lockFiles ? 100 : 200); ++round) {
            QFile::remove(p);
            const std::vector<int> found = inChildren(2, [&](int i) {  // whose balance each found
                ::umask(0);
                pretendNoByteRangeLocks(lockFiles);
                const FileFigures f = createRegistrationFile(p, u"05-12-2026"_s, 100 * (i + 1));
                const bool appended = appendRecords(p, std::nullopt, {}, slowly).ok() &&
                                      appendRecords(p, std::nullopt, {}, slowly).ok();
                return !appended ? 8 : f.ok() && f->figures ? f->figures->total / 100 : 9;
            });
            const bool one = (found[0] == 1 || found[0] == 2) && found[1] == found[0] &&
                             readBytes(p) == file.arg(found[0] * 100).toLatin1();
            EXPECT_TRUE(one || ++bad > 3)  // the first few bad rounds
                << (lockFiles ? "lock files" : "byte-range locks") << ", round " << round << ": "
                << readBytes(p).toStdString();
        }
        EXPECT_FALSE(QFile::exists(p + u".lock"_s));
        EXPECT_FALSE(othersMayWrite(p));
    }
}

// Records said saved were once lost in a move: the writer finds the file moved, follows the store.
TEST_F(JournalSharing, AMoveWhileAnotherCopyAppendsLosesNoRecord) {
    if (!otherVolume.isValid()) {
        GTEST_SKIP() << "no writable tmpfs at /dev/shm for a move across volumes";
    }
    const QString stored = in("store");
    const QByteArray years = QByteArray("x;1;-;-;-;0;5\r\n").repeated(200000);  // a slow copy
    for (int round = 0; round < 5; ++round) {
        const QString from = writeBytes(in("Horalog.Dat"), years);
        const QString to = otherVolume.filePath(u"moved%1.dat"_s.arg(round));
        if (QFile f(from); f.open(QIODevice::ReadOnly)) {
            ::fsync(f.handle());  // the appends' syncs are quick, so many fall within the copy
        }
        writeBytes(stored, from.toUtf8());
        const auto writer = [&](int) {
            QByteArray saved;  // the records reported saved, till four landed in the moved file
            for (int moved = 0; moved < 4;) {
                const QString path = QString::fromUtf8(readBytes(stored));
                const QByteArray record = "r;" + QByteArray::number(saved.count('\n') + 1);
                const FileOutcome done = appendPlain(path, {QString::fromLatin1(record)}, {true});
                if (!done.ok() && done.error().problem != FileProblem::Missing) {
                    return 2;
                }
                saved += done.ok() ? record + "\r\n" : "";
                moved += done.ok() && path == to;
            }
            writeBytes(in("saved"), saved);
            return 0;
        };
        const auto move = [&] {
            for (int wait = 0; wait < 3000 && QFileInfo(from).size() < years.size() + 30; ++wait) {
                ::usleep(1000);  // till the writer has appended a few records
            }
            const mode_t savedMask = ::umask(0);
            EXPECT_TRUE(moveRegistrationFile(from, to, [&] {
                            ::usleep(20000);  // a store's write, synced, takes a moment
                            writeBytes(stored + u".new"_s, to.toUtf8());
                            ::rename(QFile::encodeName(stored + u".new"_s),
                                     QFile::encodeName(stored));
                            return true;
                        }).ok());
            ::umask(savedMask);
        };
        ASSERT_EQ(inChildren(1, writer, move), std::vector<int>{0});
        const QByteArray found = readBytes(to), expected = years + readBytes(in("saved"));
        EXPECT_TRUE(found == expected)
            << "round " << round << ": " << found.size() << " bytes of " << expected.size();
        EXPECT_FALSE(othersMayWrite(to));
        EXPECT_FALSE(QFile::exists(from));
        QFile::remove(to);
    }
}

// A FIFO once swallowed every record said saved (tried in children: it may block); symlinks.
TEST_F(JournalOddFiles, OnlyRegularFilesAreUsedAndSymlinksFollowed) {
    const auto link = [this](const QString& target, const char* name) {
        EXPECT_EQ(::symlink(QFile::encodeName(target), QFile::encodeName(in(name))), 0);
        return in(name);
    };
    ASSERT_EQ(::mkfifo(QFile::encodeName(in("fifo")), 0600), 0);
    const QString odd[] = {in("fifo"), link(in("fifo"), "to-fifo"), dir.path(), u"/dev/null"_s};
    const auto notRegular = [](const auto& result) {
        return !result.ok() && result.error().problem == FileProblem::NotRegular;
    };
    const std::vector<int> refused = inChildren(4, [&](int i) {
        const FileOutcome appended = appendPlain(odd[i], {u"r"_s});
        return !(registrationPathKind(odd[i]) == PathKind::NotRegular && notRegular(appended) &&
                 appended.error().text ==
                     u"Stien er ikke en almindelig fil (en mappe, en FIFO eller en enhed)."_s &&
                 notRegular(readLastRecordLine(odd[i])) &&
                 (i == 3 ||  // never risk removing a device
                  notRegular(moveRegistrationFile(odd[i], in("moved.dat"),
                                                  []() -> bool { std::_Exit(3); }))));
    });
    EXPECT_EQ(refused, std::vector<int>(4, 0));
    EXPECT_FALSE(QFile::exists(in("moved.dat")));
    const QString file = writeBytes(in("file.dat"), "x;1;-;-;-;0;5\r\n");
    EXPECT_EQ((std::vector{registrationPathKind(file),
                           registrationPathKind(link(u"file.dat"_s, "to-file")),
                           registrationPathKind(link(in("nowhere"), "dangling")),
                           registrationPathKind(in("none"))}),
              (std::vector{PathKind::RegularFile, PathKind::RegularFile, PathKind::Missing,
                           PathKind::Missing}));
    ASSERT_TRUE(appendPlain(in("to-file"), {u"r;1"_s}).ok());  // through the link
    ASSERT_TRUE(QFileInfo(in("to-file")).isSymLink() && QDir(dir.path()).mkdir(u"b"_s));
    ASSERT_TRUE(moveRegistrationFile(in("to-file"), in("b/new.dat"), [] { return true; }).ok());
    EXPECT_FALSE(QFileInfo(in("b/new.dat")).isSymLink());
    EXPECT_EQ(readBytes(in("b/new.dat")), "x;1;-;-;-;0;5\r\nr;1\r\n");
    EXPECT_FALSE(QFileInfo::exists(file) || QFileInfo(in("to-file")).isSymLink());
}

// A full disk (a child's size limit) once left half a record as the last figures; no half file.
TEST_F(JournalFullDisk, StoppedWriteLeavesTheFileAsItWas) {
    const QByteArray before = "dato;dag\r\n06-12-2026;3;08:00;16:30;800;2220;125;\r\n";
    const QString existing = writeBytes(in("old.dat"), before);
    const QString copy = otherVolume.filePath(u"new.dat"_s);
    const QStringList lines{u"dato;dag;komme"_s, u"06-12-2026;4;08:00;16:30;800;3020;185;"_s};
    const auto failsOnAFullDisk = [](rlim_t limit, const std::function<FileOutcome()>& step) {
        return testing::failsWithSizeLimit(limit, [&step] {
            const FileOutcome o = step();
            return !o.ok() && o.error().text == testing::systemText(EFBIG);
        });
    };
    // Room for part of the record; for part of the header, and for opening a new file.
    EXPECT_TRUE(failsOnAFullDisk(static_cast<rlim_t>(before.size()) + 20,
                                 [&] { return appendPlain(existing, lines); }));
    EXPECT_TRUE(failsOnAFullDisk(30, [&] { return appendPlain(in("fresh.dat"), lines); }));
    if (otherVolume.isValid()) {
        EXPECT_TRUE(failsOnAFullDisk(20, [&] {
            return moveRegistrationFile(existing, copy, []() -> bool { std::_Exit(2); });
        }));
    }
    EXPECT_EQ(readBytes(existing), before);
    EXPECT_FALSE(QFile::exists(in("fresh.dat")) || QFile::exists(copy));
}

}  // namespace
}  // namespace horalog

#endif
