#include "journal/journal_file.h"

#include <gtest/gtest.h>

#include <QElapsedTimer>
#include <QFile>
#include <QFileInfo>
#include <QTemporaryDir>
#include <stdexcept>
#include <tuple>

#include "file_bytes.h"
#include "journal/records.h"
#include "plain_append.h"
#include "platform/file_sync.h"

namespace horalog {
namespace {

using testing::appendPlain;
using testing::readBytes;
using testing::writeBytes;

class JournalFileTest : public ::testing::Test {
protected:
    QString path(const char* name) { return dir.filePath(QLatin1String(name)); }
    QTemporaryDir dir;
};

// Lines end in CR LF, LF alone or (an old editor's) CR alone: a CR-only file once read as one
// line, and the balance silently started again from 0. An append starts a line of its own.
TEST_F(JournalFileTest, LastRecordAndAppendAfterAnyLineEnd) {
    const QByteArray one = "x;1;-;-;-;0;5";
    const QByteArray two = "x;2;-;-;-;0;7";
    // The file, its last record, and what an append puts before its own record.
    const std::tuple<QByteArray, QByteArray, QByteArray> cases[] = {
        {one, one, "\r\n"},
        {"h\r\n" + one + "\r\n" + two + "\r\n\r\nshort;line\r\n", two, ""},
        {"h\n" + one + "\n" + two + "\n\nshort;line\n", two, ""},
        {"h\r" + one + "\r" + two + "\r\rshort;line\r", two, ""},
        {"h\r" + one + "\r" + two + "\r\rshort;line", two, "\r\n"}};
    for (const auto& [before, last, added] : cases) {
        const QString p = writeBytes(path("ends.dat"), before);
        EXPECT_EQ(*readLastRecordLine(p), QString::fromLatin1(last)) << before.toStdString();
        ASSERT_TRUE(appendPlain(p, {QStringLiteral("r;1")}).ok());
        EXPECT_EQ(readBytes(p), before + added + "r;1\r\n");
    }
    QStringList lines;  // the whole-file reader splits them alike
    const auto add = [&lines](std::string_view l) {
        lines << QString::fromLatin1(l.data(), static_cast<qsizetype>(l.size()));
    };
    ASSERT_TRUE(readFileLines(writeBytes(path("all.dat"), "a\rbc\r\nd\n\re\r"), add, {}).ok());
    EXPECT_EQ(lines.join(u'|'), QStringLiteral("a|bc|d||e"));
    EXPECT_TRUE(registrationFileExists(writeBytes(path(".hidden.dat"), "a")));  // still the user's
    EXPECT_FALSE(registrationFileExists(dir.path()));
}

// Each append reads the file's last record under the lock and builds on the figures the file
// holds when another copy of the program appended since. A lock held elsewhere for longer than
// the wait once ended the program after a frozen window: now it is Locked, and nothing written.
TEST_F(JournalFileTest, AppendBuildsOnTheFilesOwnLastRecord) {
    const QString known = QStringLiteral("05-12-2026;3;08:00;16:00;750;2220;125;");
    const Figures held{3, 2220, 125};
    const auto record = [](const Figures& f) {
        return QStringList{QStringLiteral("r;%1;%2;%3").arg(f.dage).arg(f.sum).arg(f.total)};
    };
    const struct {
        QByteArray file;
        std::optional<Figures> reread;
        const char* written;  // nothing: a failure
    } cases[] = {{known.toLatin1() + "\r\n", {}, "r;3;2220;125"},
                 {known.toLatin1() + "\r\n05-12-2026;4;08:00;12:00;350;2570;-265;\r\n",
                  Figures{4, 2570, -265}, "r;4;2570;-265"},
                 {"dato;dag\r\n", {}, "r;3;2220;125"},  // no record: the figures stay
                 {"x;1;-;-;-;0;2147483648\r\n", {}, nullptr}};
    for (const auto& c : cases) {
        const QString p = writeBytes(path("locked.dat"), c.file);
        const LockedAppend done = appendRecords(p, known, held, record);
        ASSERT_EQ(done.ok(), c.written != nullptr) << c.file.toStdString();
        if (done.ok()) {
            EXPECT_EQ(done->reread, c.reread) << c.file.toStdString();
        }
        EXPECT_EQ(readBytes(p), c.written ? c.file + c.written + "\r\n" : c.file);
    }
    const QString p = writeBytes(path("locked.dat"), known.toLatin1() + "\r\n");
    QFile holder(p);
    ASSERT_TRUE(holder.open(QIODevice::ReadWrite));
    const auto taken = tryLockFile(holder.handle());
    ASSERT_TRUE(taken.ok() && *taken == LockAttempt::Taken);
    int waits = 0;
    QElapsedTimer timer;
    timer.start();
    const LockedAppend locked =
        appendRecords(p, known, held, record, {false, 400, [&waits] { ++waits; }});
    EXPECT_GE(timer.elapsed(), 400);
    ASSERT_FALSE(locked.ok());
    EXPECT_EQ(locked.error().text,
              QStringLiteral("Registreringsfilen er låst af et andet program. Prøv igen om lidt."));
    EXPECT_EQ(locked.error().problem, FileProblem::Locked);
    EXPECT_GE(waits, 8);  // the window paints while it waits
    EXPECT_EQ(readBytes(p), known.toLatin1() + "\r\n");
    holder.close();  // let go: the next append goes through
    EXPECT_TRUE(appendRecords(p, known, held, record, {false, 300}).ok());
    EXPECT_EQ(readBytes(p), known.toLatin1() + "\r\nr;3;2220;125\r\n");
}

// A crash can leave a tail of NULs without a line end. Reading back over it once cost time in
// the square of its length (104 s for 100 MB, under the lock at every append); a line beyond
// the limit is damage, found after reading no more than the limit.
TEST_F(JournalFileTest, OverlongLastLineIsDamage) {
    const QString record = QStringLiteral("05-12-2026;3;08:00;16:00;750;2220;125;");
    const QByteArray head = "dato;dag\r\n" + record.toLatin1() + "\r\n";
    const QString damage = QStringLiteral(
        "Filens sidste linje er længere end 64 KB uden linjeskift; filen er beskadiget.");
    const std::pair<qint64, bool> cases[] = {{head.size() + kLongestLine, false},
                                             {head.size() + kLongestLine + 1, true},
                                             {100LL * 1024 * 1024, true}};
    for (const auto& [size, damaged] : cases) {
        const QString p = writeBytes(path("tail.dat"), head);
        ASSERT_TRUE(QFile(p).resize(size));  // sparse: NULs, no line end
        QElapsedTimer timer;
        timer.start();
        const auto last = readLastRecordLine(p);
        EXPECT_LT(timer.elapsed(), 2000) << size;
        EXPECT_EQ(last.ok() ? last->value_or(QString()) : last.error().text,
                  damaged ? damage : record)
            << size;
        const FileOutcome appended = appendPlain(p, {QStringLiteral("r")});
        EXPECT_EQ(appended.ok() ? FileProblem::None : appended.error().problem,
                  damaged ? FileProblem::Damaged : FileProblem::None);
        EXPECT_EQ(QFileInfo(p).size(), size + (damaged ? 0 : 5));  // CR LF, r, CR LF
        QFile::remove(p);
    }
}

// The store must name a file holding every record at every moment: it is told of the new name
// only once that file is whole, and the old name goes last.
TEST_F(JournalFileTest, MoveStoresOnlyOnceTheNewFileIsWhole) {
    const QByteArray records = "dato;dag\r\n06-12-2026;1;08:00;16:30;800;800;60;\r\n";
    const QString from = writeBytes(path("old.dat"), records);
    QTemporaryDir otherVolume(QStringLiteral("/dev/shm/horalog-XXXXXX"));  // copied, not linked
    if (!otherVolume.isValid()) {
        GTEST_SKIP() << "no writable tmpfs at /dev/shm for a move across volumes";
    }
    for (const QString& to : {path("new.dat"), otherVolume.filePath(QStringLiteral("new.dat"))}) {
        int stored = 0;
        EXPECT_TRUE(moveRegistrationFile(from, to, [&] {
                        ++stored;
                        EXPECT_EQ(readBytes(to) + readBytes(from), records + records);
                        return true;
                    }).ok());
        EXPECT_EQ(stored, 1);
        EXPECT_FALSE(QFile::exists(from));
        ASSERT_TRUE(QFile::rename(to, from) || QFile::copy(to, from));
        QFile::remove(to);
    }
    // A folder gone before the copy: nothing stored, the old file kept.
    const QString gone = otherVolume.filePath(QStringLiteral("mangler/new.dat"));
    EXPECT_FALSE(moveRegistrationFile(from, gone, [] {
                     ADD_FAILURE();
                     return false;
                 }).ok());
    // A failing store: the old file stays whole and the copy goes again.
    EXPECT_FALSE(moveRegistrationFile(from, path("new.dat"), [] { return false; }).ok());
    EXPECT_EQ(readBytes(from), records);
    EXPECT_FALSE(QFile::exists(path("new.dat")));
}

}  // namespace
}  // namespace horalog
