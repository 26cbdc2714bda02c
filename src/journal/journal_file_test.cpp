#include "journal/journal_file.h"

#include <gtest/gtest.h>

#include <QCoreApplication>
#include <QDeadlineTimer>
#include <QSysInfo>
#include <QTemporaryDir>
#include <tuple>

#include "file_bytes.h"
#include "journal/file_session.h"
#include "journal/record.h"
#include "journal/records.h"
#include "plain_append.h"

namespace horalog {
namespace {

using namespace Qt::StringLiterals;
using testing::appendPlain;
using testing::readBytes;
using testing::writeBytes;

const QByteArray kHead = "dato;dag;komme;g\xE5;tid;periode;total;kommentar\r\n";
const QByteArray kDays = kHead + "05-12-2026;3;08:00;16:00;750;2220;125;\r\n";
const QByteArray kMorning = "05-12-2026;4;08:00;12:00;350;2570;-265;\r\n";  // another copy's
const QByteArray kCorrected = kHead + "05-12-2026;3;08:00;16:00;750;2220;200;\r\n";  // by hand

struct JournalFileTest : ::testing::Test {
    QString path(const char* name) { return dir.filePath(QLatin1String(name)); }
    QTemporaryDir dir;
    const QString known = u"05-12-2026;3;08:00;16:00;750;2220;125;"_s;
    const QString p = path("Horalog.Dat");
    FileSession session;
};

// Any line end (CR alone once read as one line); an append on a line of its own; a crash's tail.
TEST_F(JournalFileTest, LastRecordAndAppendAfterAnyLineEnd) {
    const QByteArray one = "x;1;-;-;-;0;5", two = "x;2;-;-;-;0;7";
    const QString damage =
        u"Filens sidste linje er længere end 64 KB uden linjeskift; filen er beskadiget."_s;
    const qint64 longest = kDays.size() + kLongestLine;
    // The file, the size NULs make it, its last record, what an append adds (none: Damaged).
    const std::tuple<QByteArray, qint64, QString, QByteArray> cases[] = {
        {one, 0, one, "\r\nr;1\r\n"},
        {"h\r\n" + one + "\r\n" + two + "\r\n\r\nshort;line\r\n", 0, two, "r;1\r\n"},
        {"h\n" + one + "\n" + two + "\n\nshort;line\n", 0, two, "r;1\r\n"},
        {"h\r" + one + "\r" + two + "\r\rshort;line\r", 0, two, "r;1\r\n"},
        {"h\r" + one + "\r" + two + "\r\rshort;line", 0, two, "\r\nr;1\r\n"},
        {kDays, longest, known, "\r\nr;1\r\n"},
        {kDays, longest + 1, damage, {}},
        {kDays, 100LL * 1024 * 1024, damage, {}},  // once read back in 104 s, at every append
    };
    for (const auto& [before, size, last, added] : cases) {
        ASSERT_TRUE(QFile(writeBytes(p, before)).resize(std::max(size, before.size())));  // sparse
        const QDeadlineTimer bound(2000);
        const auto read = readLastRecordLine(p);
        EXPECT_FALSE(bound.hasExpired()) << size;
        EXPECT_EQ(read.ok() ? read->value_or(QString()) : read.error().text, last) << size;
        const FileOutcome appended = appendPlain(p, {u"r;1"_s});
        EXPECT_EQ(appended.ok() ? FileProblem::None : appended.error().problem,
                  added.isEmpty() ? FileProblem::Damaged : FileProblem::None);
        EXPECT_TRUE(size > before.size() ? QFileInfo(p).size() == size + added.size()  // 100 MB
                                         : readBytes(p) == before + added)
            << before.toStdString();
    }
    QStringList lines;  // the whole-file reader splits them alike
    ASSERT_TRUE(readFileLines(writeBytes(path("all.dat"), "a\rbc\r\nd\n\re\r"),
                              [&lines](std::string_view l) { lines << QString::fromLatin1(l); }, {})
                    .ok());
    EXPECT_EQ(lines.join(u'|'), QStringLiteral("a|bc|d||e"));
    EXPECT_TRUE(registrationFileExists(writeBytes(path(".hidden.dat"), "a")));  // still the user's
    EXPECT_FALSE(registrationFileExists(dir.path()));
}

// Another's lock (a range, a live lock file) is waited for, then Locked; a dead owner's taken over.
TEST_F(JournalFileTest, LockHeldElsewhereIsWaitedForThenLocked) {
    const QByteArray host = ' ' + QSysInfo::machineHostName().toUtf8() + " 7\n";
    const QByteArray pid = QByteArray::number(QCoreApplication::applicationPid());
#ifdef _WIN32
    for (const QByteArray& owner : {QByteArray(), pid + host}) {  // Windows tells no owner gone
#else
    for (const QByteArray& owner : {QByteArray(), pid + host, "4194304" + host}) {
#endif
        const bool alive = !owner.startsWith("4194304");
        pretendNoByteRangeLocks(!owner.isEmpty());  // as on a share without a lock service
        const QString shared = writeBytes(path("shared.dat"), "h\r\n");
        QFile holder(shared);
        ASSERT_TRUE(holder.open(QIODevice::ReadWrite));
        ASSERT_EQ(tryLockFile(holder.handle()).value(),
                  owner.isEmpty() ? LockAttempt::Taken : LockAttempt::Unsupported);
        const QString lock =
            owner.isEmpty() ? shared + u".lock"_s : writeBytes(shared + u".lock"_s, owner);
        int waits = 0;
        const QDeadlineTimer wait(400);
        const FileOutcome done = appendPlain(shared, {u"r"_s}, {false, 400, [&] { ++waits; }});
        EXPECT_EQ(wait.hasExpired(), alive);
        EXPECT_EQ(done.ok() ? QString() : done.error().text,
                  alive ? u"Registreringsfilen er låst af et andet program. Prøv igen om lidt."_s
                        : QString());
        EXPECT_EQ(done.ok() ? FileProblem::None : done.error().problem,
                  alive ? FileProblem::Locked : FileProblem::None);
        EXPECT_TRUE(alive ? waits > 0 : waits == 0) << waits;  // the window paints meanwhile
        EXPECT_EQ(readBytes(shared), alive ? "h\r\n" : "h\r\nr\r\n");  // nothing written
        EXPECT_EQ(readBytes(lock), alive ? owner : QByteArray());      // another's left alone
        holder.close();  // let go: the next append goes through
        QFile::remove(lock);
        EXPECT_TRUE(appendPlain(shared, {u"r;2"_s}, {false, 300}).ok());
        EXPECT_EQ(readBytes(shared), (alive ? "h\r\n" : "h\r\nr\r\n") + "r;2\r\n"_ba);
    }
    pretendNoByteRangeLocks(false);
}

// The store hears the new name once that file is whole, the old goes last, or the copy goes.
TEST_F(JournalFileTest, MoveStoresOnlyOnceTheNewFileIsWhole) {
    const QString from = writeBytes(path("old.dat"), kDays);
    QTemporaryDir otherVolume(u"/dev/shm/horalog-XXXXXX"_s);  // copied, not linked
    if (!otherVolume.isValid()) {
        GTEST_SKIP() << "no writable tmpfs at /dev/shm for a move across volumes";
    }
    for (const auto& [to, moves] :
         {std::pair(path("new.dat"), true), std::pair(otherVolume.filePath(u"new.dat"_s), true),
          std::pair(otherVolume.filePath(u"mangler/new.dat"_s), false)}) {
        int stored = 0;
        const auto store = [&, to = to] {
            ++stored;
            EXPECT_EQ(readBytes(to) + readBytes(from), kDays + kDays);
            return true;
        };
        EXPECT_EQ(moveRegistrationFile(from, to, store).ok(), moves);
        EXPECT_EQ(stored, moves ? 1 : 0);  // a folder gone stores nothing
        EXPECT_NE(QFile::exists(from), moves);
        ASSERT_TRUE(!moves || QFile::rename(to, from) || QFile::copy(to, from));
        QFile::remove(to);
    }
    EXPECT_FALSE(moveRegistrationFile(from, path("new.dat"), [] { return false; }).ok());
    EXPECT_EQ(readBytes(from), kDays);
    EXPECT_FALSE(QFile::exists(path("new.dat")));
}

using FileSessionTest = JournalFileTest;

// A day appended on the file as another program left it since this copy read it.
TEST_F(FileSessionTest, AppendsOnTheFilesLastFigures) {
    using A = AppendOutcome;
    // The file read, then now (none: not there), the day of 800 fits, the outcome, the figures.
    const std::tuple<QByteArray, QByteArray, bool, A, Figures> rows[] = {
        {kDays, kDays, true, A::Written, {4, 3020, 185}},
        {kDays, kDays + kMorning, true, A::WrittenOnFiguresReadAgain, {5, 3370, -205}},
        {kDays, kCorrected, true, A::WrittenOnFiguresReadAgain, {4, 3020, 260}},
        {kDays, kDays, false, A::Refused, {3, 2220, 125}},
        {kDays, kCorrected, false, A::Refused, {3, 2220, 200}},
        {kHead, kHead, true, A::Written, {1, 800, 60}},  // no record: on the figures held
        {{}, {}, true, A::Written, {1, 800, 60}},
        {kDays, {}, true, A::Missing, {3, 2220, 125}},              // seen, so never made anew
        {kDays, "dato;dag\r\n", true, A::Written, {4, 3020, 185}},  // no record: figures held
        {kDays, kDays + "x;1;-;-;-;0;2147483648\r\n", true, A::Failed, {3, 2220, 125}},
    };
    for (const auto& [read, now, fits, outcome, figures] : rows) {
        SCOPED_TRACE((read + '|' + now).toStdString());
        QFile::remove(p);
        FileSession fresh;
        fresh.setPath(read.isEmpty() ? p : writeBytes(p, read));
        ASSERT_TRUE(read.isEmpty() || fresh.read().ok());
        if (now.isEmpty()) {
            QFile::remove(p);
        } else if (now != read) {
            writeBytes(p, now);
        }
        const BuildRecords day = [fits = fits](const Figures& f) -> std::optional<NewRecords> {
            const Figures after{std::int16_t(f.dage + 1), f.sum + 800, f.total + 60};
            const QString line = dayRecord(u"05-12-2026"_s, after, 800, 1650, 800);
            return fits ? std::optional(NewRecords{{line}, after}) : std::nullopt;
        };
        EXPECT_EQ(fresh.append(day), outcome);
        EXPECT_EQ(fresh.figures(), figures);
        const QByteArray added = QString::asprintf("05-12-2026;%d;08:00;16:30;800;%d;%d;\r\n",
                                                   figures.dage, figures.sum, figures.total)
                                     .toLatin1();
        const bool written = outcome == A::Written || outcome == A::WrittenOnFiguresReadAgain;
        EXPECT_EQ(readBytes(p), written ? now + added : now);
    }
}

// A file made here or elsewhere, followed when another wrote it, and a new period after "Nej".
TEST_F(FileSessionTest, CreateFollowAndStartANewPeriod) {
    session.setPath(p);
    EXPECT_FALSE(session.read().ok());  // none there
    EXPECT_EQ(session.create(u"05-12-2026"_s, -35).value(), Created::Here);
    FileSession other;
    other.setPath(p);
    EXPECT_EQ(other.create(u"05-12-2026"_s, 200).value(), Created::Elsewhere);
    EXPECT_EQ(readBytes(p), kHead + "05-12-2026;0;-;-;-;0;-35\r\n");
    EXPECT_EQ(session.figures(), (Figures{0, 0, -35}));
    EXPECT_EQ(other.figures(), (Figures{0, 0, -35}));
    EXPECT_FALSE(session.followChanges());  // its own record
    writeBytes(p, kDays);
    EXPECT_TRUE(session.followChanges());
    EXPECT_EQ(session.figures(), (Figures{3, 2220, 125}));
    EXPECT_FALSE(session.reread());  // the same record
    session.declineRecords();
    ASSERT_TRUE(session.newPeriodDue());
    EXPECT_EQ(session.startNewPeriod(u"05-12-2026"_s, -20), AppendOutcome::Written);
    EXPECT_FALSE(session.newPeriodDue());
    EXPECT_EQ(readBytes(p), kDays + kHead + "05-12-2026;0;-;-;-;0;-20\r\n");
    EXPECT_EQ(session.figures(), (Figures{0, 0, -20}));
    QFile::remove(p);
    EXPECT_EQ(session.startNewPeriod(u"06-12-2026"_s, 5), AppendOutcome::Written);
    EXPECT_EQ(readBytes(p), kHead + "06-12-2026;0;-;-;-;0;5\r\n");
    writeBytes(p, kDays + "x;32768;-;-;-;0;0\r\n");  // a day count too large: read as nothing
    EXPECT_FALSE(session.read().ok() || session.reread());
    EXPECT_EQ(session.figures(), (Figures{0, 0, 5}));
}

}  // namespace
}  // namespace horalog
