#include "journal/journal_file.h"

#include <gtest/gtest.h>
#include <sys/resource.h>
#include <sys/wait.h>
#include <unistd.h>

#include <csignal>
#include <stdexcept>

#include <QDir>
#include <QFile>
#include <QTemporaryDir>

namespace horalog {
namespace {

class JournalFileTest : public ::testing::Test {
protected:
    QString path(const char* name) { return dir.filePath(QLatin1String(name)); }
    QString write(const char* name, const QByteArray& bytes) {
        QFile f(path(name));
        EXPECT_TRUE(f.open(QIODevice::WriteOnly));
        f.write(bytes);
        return f.fileName();
    }
    QByteArray read(const QString& p) {
        QFile f(p);
        EXPECT_TRUE(f.open(QIODevice::ReadOnly));
        return f.readAll();
    }
    QTemporaryDir dir;
};

TEST_F(JournalFileTest, LastRecordLine) {
    const struct {
        QByteArray bytes;
        std::optional<QString> line;
    } cases[] = {
        {"a;1;-;-;-;0;5\r\nb;2;-;-;-;0;6\r\n", QStringLiteral("b;2;-;-;-;0;6")},
        {"a;1;-;-;-;0;5\r\nb;2;-;-;-;0;6", QStringLiteral("b;2;-;-;-;0;6")},  // no line end
        {"a;1;-;-;-;0;5\nb;2;-;-;-;0;6\n", QStringLiteral("b;2;-;-;-;0;6")},  // LF alone
        {"a;1;-;-;-;0;5\r\n\r\n\r\n", QStringLiteral("a;1;-;-;-;0;5")},       // blank lines after
        {"a;1;-;-;-;0;5\r\nshort;line\r\n", QStringLiteral("a;1;-;-;-;0;5")},
        {"", std::nullopt},
        {"\r\n", std::nullopt},
        {"no;record;here\r\n", std::nullopt},
        {QByteArray("a;1;-;-;-;0;5\r\nb\0;2;-;-;-;0;6\r\n", 32),
         QString::fromLatin1("b\0;2;-;-;-;0;6", 14)}};
    for (const auto& c : cases) {
        const QString p = write("f.dat", c.bytes);
        const LastRecord last = readLastRecordLine(p);
        EXPECT_TRUE(last.outcome.ok);
        EXPECT_EQ(last.line, c.line) << c.bytes.toStdString();
    }
}

TEST_F(JournalFileTest, LastRecordAcrossReadChunks) {
    // A last line longer than one read from the end, and a record just before a chunk edge.
    QByteArray bytes = "first;1;-;-;-;0;5\r\n";
    const QByteArray big = "x;2;-;-;-;0;7;" + QByteArray(200000, 'c');
    bytes += big + "\r\n";
    EXPECT_EQ(readLastRecordLine(write("big.dat", bytes)).line, QString::fromLatin1(big));
    QByteArray padded = "first;1;-;-;-;0;5\r\n" + QByteArray(65536 * 2 + 3, '\n');
    EXPECT_EQ(readLastRecordLine(write("pad.dat", padded)).line,
              QStringLiteral("first;1;-;-;-;0;5"));
}

TEST_F(JournalFileTest, AppendStartsEveryRecordOnItsOwnLine) {
    const struct {
        QByteArray before;
        QByteArray after;
    } cases[] = {{"", "r;1\r\n"},
                 {"a\r\n", "a\r\nr;1\r\n"},
                 {"a", "a\r\nr;1\r\n"},  // the last line lacked its line end
                 {"a\n", "a\nr;1\r\n"}};
    for (const auto& c : cases) {
        const QString p = write("a.dat", c.before);
        ASSERT_TRUE(appendLines(p, {QStringLiteral("r;1")}).ok);
        EXPECT_EQ(read(p), c.after);
    }
    const QString fresh = path("new.dat");
    ASSERT_TRUE(appendLines(fresh, {QStringLiteral("h;gå"), QStringLiteral("o")}).ok);
    EXPECT_EQ(read(fresh), QByteArray("h;g\xE5\r\no\r\n"));
}

TEST_F(JournalFileTest, FailuresReportTheSystemsDescription) {
    const FileOutcome missing = appendLines(path("no/such/folder/x.dat"), {QStringLiteral("r")});
    EXPECT_FALSE(missing.ok);
    EXPECT_EQ(missing.error, QStringLiteral("No such file or directory"));

    const FileOutcome full = appendLines(QStringLiteral("/dev/full"), {QStringLiteral("r")});
    EXPECT_FALSE(full.ok);
    EXPECT_EQ(full.error, QStringLiteral("No space left on device"));

    const LastRecord unreadable = readLastRecordLine(path("absent.dat"));
    EXPECT_FALSE(unreadable.outcome.ok);
    EXPECT_EQ(unreadable.outcome.error, QStringLiteral("No such file or directory"));
}

// A full disk once left the first bytes of a record behind, and the next start read that half
// line as the last figures. A file-size limit stops the write part-way as a full disk does.
TEST_F(JournalFileTest, WriteStoppedPartWayLeavesTheFileAsItWas) {
    const QByteArray before = "dato;dag\r\n06-12-2026;3;08:00;16:30;800;2220;125;\r\n";
    const QString existing = write("limited.dat", before);
    const QString fresh = path("fresh.dat");
    const QString record = QStringLiteral("06-12-2026;4;08:00;16:30;800;3020;185;");
    const struct {
        QString file;
        rlim_t limit;
    } cases[] = {
        {existing, static_cast<rlim_t>(before.size() + 20)},  // room for part of the record
        {fresh, 30},                                          // part of the header and opening
    };
    for (const auto& c : cases) {
        const pid_t child = ::fork();
        if (child == 0) {
            ::signal(SIGXFSZ, SIG_IGN);
            const rlimit limit{c.limit, c.limit};
            ::setrlimit(RLIMIT_FSIZE, &limit);
            const FileOutcome o = appendLines(c.file, {QStringLiteral("dato;dag;komme"), record});
            ::_exit(!o.ok && o.error == QStringLiteral("File too large") ? 0 : 1);
        }
        int status = 0;
        ::waitpid(child, &status, 0);
        EXPECT_TRUE(WIFEXITED(status) && WEXITSTATUS(status) == 0) << c.file.toStdString();
    }
    EXPECT_EQ(read(existing), before);
    EXPECT_EQ(readLastRecordLine(existing).line,
              QStringLiteral("06-12-2026;3;08:00;16:30;800;2220;125;"));
    EXPECT_FALSE(QFile::exists(fresh));
}

TEST_F(JournalFileTest, PlaceCopyNeverReplacesAFile) {
    const QString from = write("a.dat", "records\r\n");
    const QString taken = write("b.dat", "someone else's\r\n");
    EXPECT_FALSE(placeCopy(from, taken).ok);
    EXPECT_EQ(read(taken), QByteArray("someone else's\r\n"));
    // Across file systems there is no link: the copy is made and synced instead.
    QTemporaryDir other(QStringLiteral("/dev/shm/horalog-XXXXXX"));
    for (const QString& to : {path("c.dat"), other.filePath(QStringLiteral("c.dat"))}) {
        if (to.startsWith(QStringLiteral("/dev/shm")) && !other.isValid()) {
            continue;
        }
        ASSERT_TRUE(placeCopy(from, to).ok) << to.toStdString();
        EXPECT_EQ(read(to), QByteArray("records\r\n"));
        EXPECT_EQ(read(from), QByteArray("records\r\n"));
    }
}

// The store must name a file holding every record at every moment: it is told of the new name
// only once that file is whole, and the old name goes last.
TEST_F(JournalFileTest, MoveStoresOnlyOnceTheNewFileIsWhole) {
    const QByteArray records = "dato;dag\r\n06-12-2026;1;08:00;16:30;800;800;60;\r\n";
    const QString from = write("old.dat", records);
    const QString to = path("new.dat");
    int stored = 0;
    EXPECT_TRUE(moveRegistrationFile(from, to, [&] {
                    ++stored;
                    EXPECT_EQ(read(to), records);
                    EXPECT_EQ(read(from), records);
                }).ok);
    EXPECT_EQ(stored, 1);
    EXPECT_FALSE(QFile::exists(from));

    // A failing store: the old file stays whole and the copy goes again.
    EXPECT_THROW(moveRegistrationFile(to, from, [] { throw std::runtime_error("store"); }),
                 std::runtime_error);
    EXPECT_EQ(read(to), records);
    EXPECT_FALSE(QFile::exists(from));

    // A failing copy (the name is taken): nothing stored.
    const QString taken = write("taken.dat", "x");
    EXPECT_FALSE(moveRegistrationFile(to, taken, [&] { ++stored; }).ok);
    EXPECT_EQ(stored, 1);
    EXPECT_EQ(read(taken), QByteArray("x"));
}

TEST_F(JournalFileTest, FolderWithoutWritePermission) {
    const auto open =
        QFile::ReadOwner | QFile::WriteOwner | QFile::ExeOwner | QFile::ReadOther | QFile::ExeOther;
    QFile::setPermissions(dir.path(), open);
    QDir(dir.path()).mkdir(QStringLiteral("locked"));
    const QString p = path("locked/x.dat");
    QFile::setPermissions(path("locked"),
                          QFile::ReadOwner | QFile::ExeOwner | QFile::ReadOther | QFile::ExeOther);
    // Root may write anywhere, so the attempt runs as an ordinary user.
    const pid_t child = ::fork();
    if (child == 0) {
        if (::getuid() == 0 && (::setgid(65534) != 0 || ::setuid(65534) != 0)) {
            ::_exit(3);
        }
        const FileOutcome o = appendLines(p, {QStringLiteral("r")});
        ::_exit(!o.ok && o.error == QStringLiteral("Permission denied") ? 0 : 1);
    }
    int status = 0;
    ::waitpid(child, &status, 0);
    EXPECT_TRUE(WIFEXITED(status) && WEXITSTATUS(status) == 0);
    EXPECT_FALSE(QFile::exists(p));
}

TEST_F(JournalFileTest, AnyFileCountsAsExisting) {
    EXPECT_FALSE(registrationFileExists(path("x.dat")));
    EXPECT_TRUE(registrationFileExists(write(".hidden.dat", "a")));
    EXPECT_FALSE(registrationFileExists(dir.path()));
    EXPECT_FALSE(registrationFileExists(QString()));
}

}  // namespace
}  // namespace horalog
