#include "journal/journal_file.h"

#include <gtest/gtest.h>
#include <sys/resource.h>
#include <sys/wait.h>
#include <unistd.h>

#include <QDir>
#include <QFile>
#include <QTemporaryDir>
#include <csignal>
#include <functional>
#include <stdexcept>

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
        return f.open(QIODevice::ReadOnly) ? f.readAll() : QByteArray();
    }
    // Runs the step in a child process (as another user, or under a file-size limit) and
    // reports whether it exited 0.
    static bool inChild(const std::function<bool()>& step) {
        const pid_t child = ::fork();
        if (child == 0) {
            ::_exit(step() ? 0 : 1);
        }
        int status = 0;
        ::waitpid(child, &status, 0);
        return WIFEXITED(status) && WEXITSTATUS(status) == 0;
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
        {"\nb;2;-;-;-;0;6\n", QStringLiteral("b;2;-;-;-;0;6")},  // a blank first line
        {"", std::nullopt},
        {"no;record;here\r\n", std::nullopt},
        // A last line longer than one read from the end, and a record before many blank chunks.
        {"f;1;-;-;-;0;5\r\nx;2;-;-;-;0;7;" + QByteArray(200000, 'c') + "\r\n",
         QStringLiteral("x;2;-;-;-;0;7;") + QString(200000, QLatin1Char('c'))},
        {"f;1;-;-;-;0;5\r\n" + QByteArray(65536 * 2 + 3, '\n'), QStringLiteral("f;1;-;-;-;0;5")}};
    for (const auto& c : cases) {
        const LastRecord last = readLastRecordLine(write("f.dat", c.bytes));
        EXPECT_TRUE(last.outcome.ok);
        EXPECT_EQ(last.line, c.line) << c.bytes.left(40).toStdString();
    }
}

TEST_F(JournalFileTest, AppendStartsEveryRecordOnItsOwnLine) {
    const std::pair<QByteArray, QByteArray> cases[] = {
        {"", "r;1\r\n"}, {"a\r\n", "a\r\nr;1\r\n"}, {"a", "a\r\nr;1\r\n"}, {"a\n", "a\nr;1\r\n"}};
    for (const auto& [before, after] : cases) {
        const QString p = write("a.dat", before);
        ASSERT_TRUE(appendLines(p, {QStringLiteral("r;1")}).ok);
        EXPECT_EQ(read(p), after);
    }
    ASSERT_TRUE(appendLines(path("new.dat"), {QStringLiteral("h;gå"), QStringLiteral("o")}).ok);
    EXPECT_EQ(read(path("new.dat")), QByteArray("h;g\xE5\r\no\r\n"));
}

TEST_F(JournalFileTest, FailuresReportTheSystemsDescription) {
    const FileOutcome missing = appendLines(path("no/such/folder/x.dat"), {QStringLiteral("r")});
    EXPECT_EQ(missing.error, QStringLiteral("No such file or directory"));
    EXPECT_EQ(appendLines(QStringLiteral("/dev/full"), {QStringLiteral("r")}).error,
              QStringLiteral("No space left on device"));
    EXPECT_FALSE(readLastRecordLine(path("absent.dat")).outcome.ok);
    // Root may write anywhere, so the attempt runs as an ordinary user.
    QDir(dir.path()).mkdir(QStringLiteral("locked"));
    QFile::setPermissions(dir.path(), QFile::ReadOwner | QFile::WriteOwner | QFile::ExeOwner |
                                          QFile::ReadOther | QFile::ExeOther);
    QFile::setPermissions(path("locked"), QFile::ReadOwner | QFile::ExeOwner | QFile::ExeOther);
    EXPECT_TRUE(inChild([&] {
        if (::getuid() == 0 && (::setgid(65534) != 0 || ::setuid(65534) != 0)) {
            return false;
        }
        return appendLines(path("locked/x.dat"), {QStringLiteral("r")}).error ==
               QStringLiteral("Permission denied");
    }));
    EXPECT_TRUE(registrationFileExists(write(".hidden.dat", "a")));  // hidden is still the user's
    EXPECT_FALSE(registrationFileExists(dir.path()));
}

// A full disk once left the first bytes of a record behind, and the next start read that half
// line as the last figures. A file-size limit stops the write part-way as a full disk does.
TEST_F(JournalFileTest, WriteStoppedPartWayLeavesTheFileAsItWas) {
    const QByteArray before = "dato;dag\r\n06-12-2026;3;08:00;16:30;800;2220;125;\r\n";
    const QString existing = write("limited.dat", before);
    const std::pair<QString, rlim_t> cases[] = {
        {existing, static_cast<rlim_t>(before.size() + 20)},  // room for part of the record
        {path("fresh.dat"), 30}};                             // part of the header and opening
    for (const auto& [file, size] : cases) {
        EXPECT_TRUE(inChild([&, file = file, size = size] {
            ::signal(SIGXFSZ, SIG_IGN);
            const rlimit limit{size, size};
            ::setrlimit(RLIMIT_FSIZE, &limit);
            return appendLines(file, {QStringLiteral("dato;dag;komme"),
                                      QStringLiteral("06-12-2026;4;08:00;16:30;800;3020;185;")})
                       .error == QStringLiteral("File too large");
        }));
    }
    EXPECT_EQ(read(existing), before);
    EXPECT_FALSE(QFile::exists(path("fresh.dat")));
}

// The store must name a file holding every record at every moment: it is told of the new name
// only once that file is whole, and the old name goes last.
TEST_F(JournalFileTest, MoveStoresOnlyOnceTheNewFileIsWhole) {
    const QByteArray records = "dato;dag\r\n06-12-2026;1;08:00;16:30;800;800;60;\r\n";
    const QString from = write("old.dat", records);
    QTemporaryDir otherVolume(QStringLiteral("/dev/shm/horalog-XXXXXX"));  // copied, not linked
    for (const QString& to : {path("new.dat"), otherVolume.filePath(QStringLiteral("new.dat"))}) {
        int stored = 0;
        EXPECT_TRUE(moveRegistrationFile(from, to, [&] {
                        ++stored;
                        EXPECT_EQ(read(to), records);
                        EXPECT_EQ(read(from), records);
                    }).ok);
        EXPECT_EQ(stored, 1);
        EXPECT_FALSE(QFile::exists(from));
        ASSERT_TRUE(QFile::rename(to, from) || QFile::copy(to, from));
        QFile::remove(to);
    }
    // A failing store: the old file stays whole and the copy goes again.
    EXPECT_THROW(moveRegistrationFile(from, path("new.dat"), [] { throw std::runtime_error(""); }),
                 std::runtime_error);
    EXPECT_EQ(read(from), records);
    EXPECT_FALSE(QFile::exists(path("new.dat")));
    // A failing copy (the name is taken): nothing stored, nothing replaced.
    const QString taken = write("taken.dat", "x");
    EXPECT_FALSE(moveRegistrationFile(from, taken, [] { ADD_FAILURE() << "stored"; }).ok);
    EXPECT_EQ(read(taken), QByteArray("x"));
}

}  // namespace
}  // namespace horalog
