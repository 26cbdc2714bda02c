#include "journal/journal_file.h"

#include <gtest/gtest.h>
#include <sys/resource.h>
#include <sys/wait.h>
#include <unistd.h>

#include <QFile>
#include <QTemporaryDir>
#include <csignal>
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
    // What failed, or nothing when it did not.
    static QString failure(const FileOutcome& o) { return o.ok ? QString() : o.error; }
    // Whether the step, run in a child whose files may grow to `limit` bytes (a write stops
    // part-way, as on a full disk), says it failed so.
    static bool failsOnAFullDisk(rlim_t limit, const std::function<FileOutcome()>& step) {
        const pid_t child = ::fork();
        if (child == 0) {
            ::signal(SIGXFSZ, SIG_IGN);
            const rlimit l{limit, limit};
            ::setrlimit(RLIMIT_FSIZE, &l);
            ::_exit(failure(step()) == QStringLiteral("File too large") ? 0 : 1);
        }
        int status = 0;
        ::waitpid(child, &status, 0);
        return WIFEXITED(status) && WEXITSTATUS(status) == 0;
    }
    QTemporaryDir dir;
};

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
    EXPECT_TRUE(registrationFileExists(write(".hidden.dat", "a")));  // hidden is still the user's
    EXPECT_FALSE(registrationFileExists(dir.path()));
    // The last record of an ordinary file is checked against a slow reader on the fuzz corpus.
    EXPECT_FALSE(readLastRecordLine(path("absent.dat")).outcome.ok);
}

// A full disk once left the first bytes of a record behind, and the next start read that half
// line as the last figures. A file-size limit (in a child) stops the write part-way as a full
// disk does; the other failures name the system's description.
TEST_F(JournalFileTest, FailedWriteLeavesTheFileAsItWas) {
    EXPECT_EQ(failure(appendLines(QStringLiteral("/dev/full"), {QStringLiteral("r")})),
              QStringLiteral("No space left on device"));
    const QByteArray before = "dato;dag\r\n06-12-2026;3;08:00;16:30;800;2220;125;\r\n";
    const QString existing = write("limited.dat", before);
    const std::pair<QString, rlim_t> cases[] = {
        {existing, static_cast<rlim_t>(before.size() + 20)},  // room for part of the record
        {path("fresh.dat"), 30}};                             // part of the header and opening
    for (const auto& [file, size] : cases) {
        EXPECT_TRUE(failsOnAFullDisk(size, [&file = file] {
            return appendLines(file, {QStringLiteral("dato;dag;komme"),
                                      QStringLiteral("06-12-2026;4;08:00;16:30;800;3020;185;")});
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
                        EXPECT_EQ(read(to) + read(from), records + records);
                    }).ok);
        EXPECT_EQ(stored, 1);
        EXPECT_FALSE(QFile::exists(from));
        ASSERT_TRUE(QFile::rename(to, from) || QFile::copy(to, from));
        QFile::remove(to);
    }
    // A copy that stops part-way goes again, and nothing is stored.
    const QString copy = otherVolume.filePath(QStringLiteral("new.dat"));
    EXPECT_TRUE(failsOnAFullDisk(
        20, [&] { return moveRegistrationFile(from, copy, [] { std::_Exit(2); }); }));
    EXPECT_FALSE(QFile::exists(copy));
    // A failing store: the old file stays whole and the copy goes again.
    EXPECT_THROW(moveRegistrationFile(from, path("new.dat"), [] { throw std::runtime_error(""); }),
                 std::runtime_error);
    EXPECT_EQ(read(from), records);
    EXPECT_FALSE(QFile::exists(path("new.dat")));
}

}  // namespace
}  // namespace horalog
