#include "journal/journal_file.h"

#include <gtest/gtest.h>

#include <QElapsedTimer>
#include <QTemporaryDir>
#include <tuple>

#include "file_bytes.h"
#include "journal/file_session.h"
#include "journal/record.h"
#include "journal/records.h"
#include "plain_append.h"

namespace horalog {
namespace {

using testing::appendPlain;
using testing::readBytes;
using testing::writeBytes;

struct JournalFileTest : ::testing::Test {
    QString path(const char* name) { return dir.filePath(QLatin1String(name)); }
    QTemporaryDir dir;
    const QString known = QStringLiteral("05-12-2026;3;08:00;16:00;750;2220;125;");
    const QByteArray head = "dato;dag\r\n" + known.toLatin1() + "\r\n";
    const QString p = path("Horalog.Dat");
    FileSession session;
};

// Lines end in CR LF, LF or an old editor's CR alone: a CR-only file once read as one line, and
// the balance silently started again from 0. An append starts a line of its own.
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
        writeBytes(p, before);
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

// A lock held elsewhere beyond the wait once ended the program after a frozen window: now it is
// Locked, and nothing written.
TEST_F(JournalFileTest, LockHeldElsewhereIsWaitedForThenLocked) {
    const Figures held{3, 2220, 125};
    const auto record = [](const Figures& f) {
        return QStringList{QStringLiteral("r;%1;%2;%3").arg(f.dage).arg(f.sum).arg(f.total)};
    };
    writeBytes(p, head);
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
    EXPECT_EQ(readBytes(p), head);
    holder.close();  // let go: the next append goes through
    EXPECT_TRUE(appendRecords(p, known, held, record, {false, 300}).ok());
    EXPECT_EQ(readBytes(p), head + "r;3;2220;125\r\n");
}

// A crash can leave a tail of NULs without a line end. Reading back over it once took time in
// the square of its length (104 s for 100 MB, at every append): beyond the limit it is damage.
TEST_F(JournalFileTest, OverlongLastLineIsDamage) {
    const QString damage = QStringLiteral(
        "Filens sidste linje er længere end 64 KB uden linjeskift; filen er beskadiget.");
    const std::pair<qint64, bool> cases[] = {{head.size() + kLongestLine, false},
                                             {head.size() + kLongestLine + 1, true},
                                             {100LL * 1024 * 1024, true}};
    for (const auto& [size, damaged] : cases) {
        writeBytes(p, head);
        ASSERT_TRUE(QFile(p).resize(size));  // sparse: NULs, no line end
        QElapsedTimer timer;
        timer.start();
        const auto last = readLastRecordLine(p);
        EXPECT_LT(timer.elapsed(), 2000) << size;
        EXPECT_EQ(last.ok() ? last->value_or(QString()) : last.error().text,
                  damaged ? damage : known)
            << size;
        const FileOutcome appended = appendPlain(p, {QStringLiteral("r")});
        EXPECT_EQ(appended.ok() ? FileProblem::None : appended.error().problem,
                  damaged ? FileProblem::Damaged : FileProblem::None);
        EXPECT_EQ(QFileInfo(p).size(), size + (damaged ? 0 : 5));  // CR LF, r, CR LF
        QFile::remove(p);
    }
}

// The store hears the new name only once that file is whole, and the old name goes last; a
// folder gone stores nothing, a failing store keeps the old file whole and the copy goes.
TEST_F(JournalFileTest, MoveStoresOnlyOnceTheNewFileIsWhole) {
    const QString from = writeBytes(path("old.dat"), head);
    QTemporaryDir otherVolume(QStringLiteral("/dev/shm/horalog-XXXXXX"));  // copied, not linked
    if (!otherVolume.isValid()) {
        GTEST_SKIP() << "no writable tmpfs at /dev/shm for a move across volumes";
    }
    for (const QString& to : {path("new.dat"), otherVolume.filePath(QStringLiteral("new.dat"))}) {
        int stored = 0;
        EXPECT_TRUE(moveRegistrationFile(from, to, [&] {
                        ++stored;
                        EXPECT_EQ(readBytes(to) + readBytes(from), head + head);
                        return true;
                    }).ok());
        EXPECT_EQ(stored, 1);
        EXPECT_FALSE(QFile::exists(from));
        ASSERT_TRUE(QFile::rename(to, from) || QFile::copy(to, from));
        QFile::remove(to);
    }
    const QString gone = otherVolume.filePath(QStringLiteral("mangler/new.dat"));
    int storedGone = 0;
    EXPECT_FALSE(moveRegistrationFile(from, gone, [&] { return ++storedGone > 0; }).ok());
    EXPECT_EQ(storedGone, 0);
    EXPECT_FALSE(moveRegistrationFile(from, path("new.dat"), [] { return false; }).ok());
    EXPECT_EQ(readBytes(from), head);
    EXPECT_FALSE(QFile::exists(path("new.dat")));
}

const QByteArray kHead = "dato;dag;komme;g\xE5;tid;periode;total;kommentar\r\n";
const QByteArray kDays = kHead + "05-12-2026;3;08:00;16:00;750;2220;125;\r\n";
// Another copy's morning, and the user's correction of the last line in a spreadsheet.
const QByteArray kMorning = "05-12-2026;4;08:00;12:00;350;2570;-265;\r\n";
const QByteArray kCorrected = kHead + "05-12-2026;3;08:00;16:00;750;2220;200;\r\n";

// A day of 800 on the figures handed, or none when they cannot hold it.
BuildRecords day(bool fits) {
    return [fits](const Figures& f) -> std::optional<NewRecords> {
        const Figures after{static_cast<std::int16_t>(f.dage + 1), f.sum + 800, f.total + 60};
        return fits ? std::optional(NewRecords{
                          {dayRecord(QStringLiteral("05-12-2026"), after, 800, 1650, 800)}, after})
                    : std::nullopt;
    };
}

using FileSessionTest = JournalFileTest;

// A day appended on the file as another program left it since this copy read it ("-": removed).
// A day once vanished from the balance: another copy appended on the figures read at its start.
TEST_F(FileSessionTest, AppendsOnTheFilesLastFigures) {
    using A = AppendOutcome;
    const struct {
        QByteArray read, meanwhile;  // read: none, the file was never there
        bool fits;                   // the figures can hold the day
        AppendOutcome outcome;
        Figures figures;
    } rows[] = {
        {kDays, {}, true, A::Written, {4, 3020, 185}},
        {kDays, kDays + kMorning, true, A::WrittenOnFiguresReadAgain, {5, 3370, -205}},
        {kDays, kCorrected, true, A::WrittenOnFiguresReadAgain, {4, 3020, 260}},
        {kDays, {}, false, A::Refused, {3, 2220, 125}},
        {kDays, kCorrected, false, A::Refused, {3, 2220, 200}},
        {kHead, {}, true, A::Written, {1, 800, 60}},  // no record: on the figures held
        {{}, {}, true, A::Written, {1, 800, 60}},
        {kDays, "-", true, A::Missing, {3, 2220, 125}},             // seen, so never made anew
        {kDays, "dato;dag\r\n", true, A::Written, {4, 3020, 185}},  // no record: figures held
        {kDays, kDays + "x;1;-;-;-;0;2147483648\r\n", true, A::Failed, {3, 2220, 125}},
    };
    for (const auto& r : rows) {
        QFile::remove(p);
        FileSession fresh;
        fresh.setPath(r.read.isEmpty() ? p : writeBytes(p, r.read));
        ASSERT_TRUE(r.read.isEmpty() || fresh.read().ok());
        const bool removed = r.meanwhile == "-";
        if (removed) {
            QFile::remove(p);
        } else if (!r.meanwhile.isEmpty()) {
            writeBytes(p, r.meanwhile);
        }
        const std::string row = (r.read + '|' + r.meanwhile).toStdString();
        EXPECT_EQ(fresh.append(day(r.fits)), r.outcome) << row;
        EXPECT_EQ(fresh.figures(), r.figures) << row;
        const QByteArray kept = removed                 ? QByteArray()
                                : r.meanwhile.isEmpty() ? r.read
                                                        : r.meanwhile;
        const QString added = QStringLiteral("05-12-2026;%1;08:00;16:30;800;%2;%3;\r\n")
                                  .arg(r.figures.dage)
                                  .arg(r.figures.sum)
                                  .arg(r.figures.total);
        const bool written = r.outcome == A::Written || r.outcome == A::WrittenOnFiguresReadAgain;
        EXPECT_EQ(readBytes(p), written ? kept + added.toLatin1() : kept) << row;
    }
}

// A new period after "Nej" to the file's records, at its end; a file removed meanwhile anew.
TEST_F(FileSessionTest, NewPeriodAtTheFilesEnd) {
    session.setPath(writeBytes(p, kDays));
    ASSERT_TRUE(session.read().ok());
    session.declineRecords();
    ASSERT_TRUE(session.newPeriodDue());
    EXPECT_EQ(session.startNewPeriod(QStringLiteral("05-12-2026"), -20), AppendOutcome::Written);
    EXPECT_FALSE(session.newPeriodDue());
    EXPECT_EQ(readBytes(p), kDays + kHead + "05-12-2026;0;-;-;-;0;-20\r\n");
    EXPECT_EQ(session.figures(), (Figures{0, 0, -20}));
    QFile::remove(p);
    EXPECT_EQ(session.startNewPeriod(QStringLiteral("06-12-2026"), 5), AppendOutcome::Written);
    EXPECT_EQ(readBytes(p), kHead + "06-12-2026;0;-;-;-;0;5\r\n");
}

// A file made here or by another copy a moment before (its balance counts); between commands
// the figures count again only when the last record is another than this copy's.
TEST_F(FileSessionTest, CreateReadAndFollow) {
    session.setPath(p);
    EXPECT_FALSE(session.read().ok());  // none there
    EXPECT_EQ(session.create(QStringLiteral("05-12-2026"), -35).value(), Created::Here);
    EXPECT_EQ(readBytes(p), kHead + "05-12-2026;0;-;-;-;0;-35\r\n");
    EXPECT_EQ(session.figures(), (Figures{0, 0, -35}));
    FileSession other;
    other.setPath(p);
    EXPECT_EQ(other.create(QStringLiteral("05-12-2026"), 200).value(), Created::Elsewhere);
    EXPECT_EQ(other.figures(), (Figures{0, 0, -35}));
    EXPECT_EQ(readBytes(p), kHead + "05-12-2026;0;-;-;-;0;-35\r\n");
    EXPECT_FALSE(session.followChanges());  // its own record
    writeBytes(p, kDays);
    EXPECT_TRUE(session.followChanges());
    EXPECT_EQ(session.figures(), (Figures{3, 2220, 125}));
    EXPECT_FALSE(session.reread());  // the same record
    writeBytes(p, kDays + "x;32768;-;-;-;0;0\r\n");
    const FileOutcome bad = session.read();
    EXPECT_EQ(
        bad.ok() ? QString() : bad.error().text,
        QStringLiteral("Den sidste registrering har et tal, der er for stort: x;32768;-;-;-;0;0"));
    EXPECT_FALSE(session.reread());
    EXPECT_EQ(session.figures(), (Figures{3, 2220, 125}));
}

}  // namespace
}  // namespace horalog
