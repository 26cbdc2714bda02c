// The file: appends, locks, moves, the session over it, reading it back, where a chart may go.
#include "journal/journal_file.h"

#include <gtest/gtest.h>

#ifndef _WIN32
#include <sys/stat.h>

#include "size_limit.h"  // with the calls that make and wait for children
#endif

#include <QCoreApplication>
#include <QDeadlineTimer>
#include <QSysInfo>
#include <QTemporaryDir>
#include <functional>
#include <tuple>
#include <vector>

#include "journal/chart_target.h"
#include "journal/file_figures.h"
#include "journal/file_session.h"
#include "journal/overview.h"
#include "journal/record.h"
#include "plain_append.h"
#include "test_helpers.h"

namespace horalog {
namespace {

using namespace Qt::StringLiterals;
using namespace testing;  // the shared test helpers: a file's bytes, an append

const QByteArray kHead = "dato;dag;komme;g\xE5;tid;periode;total;kommentar\r\n";
const QByteArray kDays = kHead + "05-12-2026;3;08:00;16:00;750;2220;125;\r\n";
const QByteArray kMorning = "05-12-2026;4;08:00;12:00;350;2570;-265;\r\n";  // another copy's
const QByteArray kCorrected = kHead + "05-12-2026;3;08:00;16:00;750;2220;200;\r\n";  // by hand

struct JournalFileTest : ::testing::Test {
    QString path(const char* name) { return dir.filePath(QLatin1String(name)); }
    QTemporaryDir dir;
    const QString p = path("Horalog.Dat");
    FileSession session, other;                               // two copies of the program
    QTemporaryDir otherVolume{u"/dev/shm/horalog-XXXXXX"_s};  // copied, not linked
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
        {kDays, longest, u"05-12-2026;3;08:00;16:00;750;2220;125;"_s, "\r\nr;1\r\n"},
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
    EXPECT_FALSE(registrationFileExists(dir.path()));
}

// Another's lock (a range, a live lock file) is waited for, then Locked, and left alone.
TEST_F(JournalFileTest, LockHeldElsewhereIsWaitedForThenLocked) {
    for (const QByteArray& owner :
         {QByteArray(), QByteArray::number(QCoreApplication::applicationPid()) + ' ' +
                            QSysInfo::machineHostName().toUtf8() + " 7\n"}) {
        pretendNoByteRangeLocks(!owner.isEmpty());  // as on a share without a lock service
        const QString at = writeBytes(path("shared.dat"), "h\r\n");
        QFile holder(at);
        ASSERT_TRUE(holder.open(QIODevice::ReadWrite));
        ASSERT_EQ(tryLockFile(holder.handle()).value(),
                  owner.isEmpty() ? LockAttempt::Taken : LockAttempt::Unsupported);
        const QString lock = owner.isEmpty() ? at + u".lock"_s : writeBytes(at + u".lock"_s, owner);
        int waits = 0;
        const QDeadlineTimer wait(400);
        const FileOutcome done = appendPlain(at, {u"r"_s}, {false, 400, [&] { ++waits; }});
        ASSERT_EQ(done.ok() ? FileProblem::None : done.error().problem, FileProblem::Locked);
        EXPECT_EQ(done.error().text,
                  u"Registreringsfilen er låst af et andet program. Prøv igen om lidt."_s);
        EXPECT_TRUE(wait.hasExpired() && waits > 0) << waits;  // the window paints meanwhile
        EXPECT_EQ(readBytes(lock), owner);                     // another's left alone
        holder.close();  // let go: the next append goes through
        QFile::remove(lock);
        EXPECT_TRUE(appendPlain(at, {u"r"_s}, {false, 300}).ok());
        EXPECT_EQ(readBytes(at), "h\r\nr\r\n");  // once: nothing written while locked
    }
    pretendNoByteRangeLocks(false);
}

TEST_F(JournalFileTest, MoveStoresOnlyOnceTheNewFileIsWhole) {
    if (!otherVolume.isValid()) {
        GTEST_SKIP() << "no writable tmpfs at /dev/shm for a move across volumes";
    }
    // Where to, the store's answer, whether it moves; the old name goes last, an unstored one goes.
    for (const auto& [to, stores, moves] :
         {std::tuple(path("new.dat"), true, true), std::tuple(path("new.dat"), false, false),
          std::tuple(otherVolume.filePath(u"new.dat"_s), true, true),
          std::tuple(otherVolume.filePath(u"mangler/new.dat"_s), true, false)}) {
        const QString from = writeBytes(path("old.dat"), kDays);
        int stored = 0;
        const auto store = [&, to = to, stores = stores] {
            ++stored;
            EXPECT_EQ(readBytes(to) + readBytes(from), kDays + kDays);
            return stores;
        };
        EXPECT_EQ(moveRegistrationFile(from, to, store).ok(), moves);
        EXPECT_EQ(stored, moves || !stores ? 1 : 0);
        EXPECT_EQ(std::pair(QFile::exists(from), QFile::exists(to)), std::pair(!moves, moves));
        EXPECT_EQ(readBytes(moves ? to : from), kDays);
        QFile::remove(to);
    }
}

// A file made here or elsewhere, followed, a new period after "Nej", a day on the file as it is.
TEST_F(JournalFileTest, SessionMadeFollowedAndAppendedOnTheFilesLastFigures) {
    session.setPath(p);
    EXPECT_FALSE(session.read().ok());  // none there
    EXPECT_EQ(session.create(u"05-12-2026"_s, -35).value(), Created::Here);
    other.setPath(p);
    EXPECT_EQ(other.create(u"05-12-2026"_s, 200).value(), Created::Elsewhere);
    EXPECT_EQ(readBytes(p), kHead + "05-12-2026;0;-;-;-;0;-35\r\n");
    EXPECT_EQ(std::pair(session.figures(), other.figures()),
              std::pair(Figures{0, 0, -35}, Figures{0, 0, -35}));
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
    using A = AppendOutcome;
    // The file read, then now (none: not there), the day of 800 fits, the outcome, the figures.
    const std::tuple<QByteArray, QByteArray, bool, A, Figures> rows[] = {
        {kDays, kDays, true, A::Written, {4, 3020, 185}},
        {kDays, kDays + kMorning, true, A::WrittenOnFiguresReadAgain, {5, 3370, -205}},
        {kDays, kCorrected, true, A::WrittenOnFiguresReadAgain, {4, 3020, 260}},
        {kDays, kDays, false, A::Refused, {3, 2220, 125}},
        {kDays, kCorrected, false, A::Refused, {3, 2220, 200}},
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
        QFile::remove(p);
        if (!now.isEmpty()) {
            writeBytes(p, now);
        }
        const BuildRecords day = [fits = fits](const Figures& f) -> std::optional<NewRecords> {
            const Figures after{std::int16_t(f.dage + 1), f.sum + 800, f.total + 60};
            const QString line = dayRecord(u"05-12-2026"_s, after, 800, 1650, 800);
            return fits ? std::optional(NewRecords{{line}, after}) : std::nullopt;
        };
        EXPECT_EQ(fresh.append(day), outcome);
        EXPECT_EQ(fresh.figures(), figures);
        const bool written = outcome == A::Written || outcome == A::WrittenOnFiguresReadAgain;
        const QString line = dayRecord(u"05-12-2026"_s, figures, 800, 1650, 800) + u"\r\n"_s;
        EXPECT_EQ(readBytes(p), written ? now + line.toLatin1() : now);
    }
}

TEST_F(JournalFileTest, ChartTargetRefusesAllButANewFileOrAPng) {
    const KeptFiles kept{writeBytes(p, "dato;dag\r\n"),
                         {writeBytes(path("config/HKEY_CURRENT_USER.reg"), "REGEDIT4\n"),
                          path("HKEY_LOCAL_MACHINE.reg")}};
    const QString refused = u"Billedet gemmes ikke i %1: %2"_s;
    std::vector<std::pair<QString, QString>> cases = {
        {p, u"det er registreringsfilen."_s},
        {dir.path() + u"/./config/../Horalog.Dat"_s, u"det er registreringsfilen."_s},
        {path("config/HKEY_CURRENT_USER.reg"), u"det er programmets indstillinger."_s},
        {path("billeder"), u"det er en mappe."_s},  // made by the next row
        {writeBytes(path("billeder/tom.png"), ""), u"filen findes og er ikke et PNG-billede."_s},
        {writeBytes(path("tekst.png"), "dato;dag"), u"filen findes og er ikke et PNG-billede."_s},
        {writeBytes(path("gammel.png"), QByteArray("\x89PNG\r\n\x1A\n", 8) + "rest"), {}},
        {path("ny.png"), {}},
        {path("ingen/mappe/ny.png"), {}},  // not refused: the writing fails and says so
    };
#ifndef _WIN32
    ASSERT_EQ(::symlink(QFile::encodeName(p), QFile::encodeName(path("link.png"))), 0);
    ASSERT_EQ(::link(QFile::encodeName(kept.store[0]), QFile::encodeName(path("haard.png"))), 0);
    ASSERT_EQ(::mkfifo(QFile::encodeName(path("fifo.png")), 0600), 0);
    cases.insert(cases.end(),
                 {{path("link.png"), u"det er registreringsfilen."_s},
                  {path("haard.png"), u"det er programmets indstillinger."_s},
                  {path("fifo.png"), u"det er ikke en almindelig fil."_s},
                  {u"/dev/null"_s, u"det er ikke en almindelig fil."_s},
                  {QDir::current().relativeFilePath(p), u"det er registreringsfilen."_s}});
#endif
    for (const auto& [target, reason] : cases) {
        EXPECT_EQ(chartTargetRefusal(target, kept),
                  reason.isEmpty() ? std::nullopt : std::optional(refused.arg(target, reason)))
            << target.toStdString();
    }
}

// The process's peak resident memory in KB, counted from now on when `fresh`, if it can be told.
std::optional<qint64> peakMemory(bool fresh) {
    QFile reset(QStringLiteral("/proc/self/clear_refs"));
    if (fresh && !(reset.open(QIODevice::WriteOnly) && reset.write("5") == 1 && reset.flush())) {
        return std::nullopt;
    }
    const QByteArray status = readBytes(QStringLiteral("/proc/self/status"));
    const qsizetype at = status.indexOf("\nVmHWM:");
    return at < 0 ? std::nullopt : std::optional(std::atoll(status.constData() + at + 7));
}

// What was appended since a size: whole records only, also where the tail read cuts a line.
TEST_F(JournalFileTest, RecordLinesSinceASize) {
    const QByteArray day = "x;1;-;-;-;0;5", two = day + "\r\n" + day + "\n";
    const QByteArray cut = "06-12-2026;4;08:00;16:00;750;2970;135;;;;;;";  // 7 fields in the cut
    const std::tuple<QByteArray, qint64, QString> cases[] = {
        {two, 0, day + '|' + day},
        {two + "x;1\r\n\r\n", day.size() + 2, day},
        {two, two.size(), ""},
        {two, two.size() + 10, ""},
        {"a;b;c;d;e;f;g\ra;b;c;d;e;f;h\r", 8, "a;b;c;d;e;f;h"},  // an old Mac's; a cut line
        {(cut + "\r\n").repeated(30000), 0,
         QStringList(kLongestTail / 45, QString(cut)).join('|')}};
    for (const auto& [bytes, offset, expected] : cases) {
        const auto read = readRecordLinesSince(writeBytes(path("since.dat"), bytes), offset);
        EXPECT_EQ(read.ok() ? read->join('|') : read.error().text, expected) << offset;
    }
    EXPECT_EQ(readRecordLinesSince(path("none.dat"), 0).error().problem, FileProblem::Missing);
    // A record since the arrival's size closes it, also with another copy's records after it.
    const QByteArray head = "x;3;-;-;-;2220;125\r\n",
                     night = "08-12-2026;4;22:00;01:30;300;2520;-315;\r\n";
    const std::tuple<QByteArray, std::optional<qint64>, bool> closing[] = {
        {head + night + head, head.size(), true},
        {night + head, night.size(), false},
        {head + night, std::nullopt, false},
        {"", 0, false}};
    for (const auto& [bytes, size, closes] : closing) {
        const QString f = bytes.isEmpty() ? path("none.dat") : writeBytes(path("c.dat"), bytes);
        EXPECT_EQ(fileClosesArrival(f, StoredArrival(u"07-12-2026 22:00"_s), u"dd-MM-yyyy"_s, size),
                  closes);
    }
    QString lines;  // the whole-file reader splits them alike
    const auto add = [&lines](std::string_view l) { lines += QString::fromLatin1(l) + u'|'; };
    ASSERT_TRUE(readFileLines(writeBytes(path("all.dat"), "a\rbc\r\nd\n\re\r"), add).ok());
    EXPECT_EQ(lines, u"a|bc|d||e|"_s);
}

// A million unreadable lines and a crash's 100 MB of NULs: read in bounded time and memory.
TEST_F(JournalFileTest, HostileFilesReadInBoundedTimeAndMemory) {
    QFile file(path("hostile.dat"));
    ASSERT_TRUE(file.open(QIODevice::WriteOnly) &&
                file.write("01-12-2026;1;08:00;16:00;750;750;10;\r\n" +
                           QByteArray("x;1;-;-;-;0;0\n").repeated(1000000)) > 0 &&
                file.seek(file.size() + 100 * 1024 * 1024) &&
                file.write("\r\n02-12-2026;2;08:00;16:00;750;1500;20;\r\n") > 0 && file.flush());
#ifdef __SANITIZE_ADDRESS__
    const QDeadlineTimer bound(10000);   // the sanitizers' own cost, with other tests beside
    const std::optional<qint64> before;  // and their quarantine holds what was freed
#else
    const auto before = peakMemory(true);
    const QDeadlineTimer bound(2000);
#endif
    const auto report = readReport(file.fileName());
    EXPECT_FALSE(bound.hasExpired());
    const auto after = peakMemory(false);
    EXPECT_LT(before && after ? *after - *before : 0, 16 * 1024);  // KB, where it can be told
    ASSERT_TRUE(report.ok() && report->csv().endsWith(QStringLiteral("\n2026-12;2;1500;0;0;20\n")));
    const UnreadableLines& unreadable = report->unreadable();
    EXPECT_EQ(std::tuple(unreadable.count(), unreadable.first().front(), unreadable.first().back()),
              std::tuple(1000001, 2, 21));
}

// As written and as a spreadsheet saved it: the same figures, continued alike, the same report.
TEST_F(JournalFileTest, SpreadsheetSaveReadAsTheOriginal) {
    std::vector<std::tuple<QString, decltype(ChartData::flex), std::vector<ChartWeek>>> seen;
    for (const char* name : {"spreadsheet-original.dat", "spreadsheet-saved.dat"}) {
        const QString copy = writeBytes(path(name), readBytes(u"" HORALOG_TEST_DATA "/"_s + name));
        ASSERT_TRUE(appendRecords(copy, std::nullopt, {}, [](const Figures& f) {
                        const Figures after{std::int16_t(f.dage + 1), f.sum + 400, f.total - 340};
                        return QStringList{dayRecord(u"09-12-2026"_s, after, 100, 500, 400)};
                    }).ok());
        EXPECT_TRUE(readBytes(copy).endsWith("\n09-12-2026;2;01:00;05:00;400;1133;-672;\r\n"));
        const auto report = readReport(copy);
        const auto overview = readOverview(copy, QDate(2025, 12, 10), QDate(2026, 12, 9));
        ASSERT_TRUE(report.ok() && overview.ok()) << name;
        EXPECT_EQ(report->csv(), QStringLiteral("måned;arbejdsdage;arbejdstid;afspadsering;"
                                                "nulstillinger;flex\n2026-11;0;0;0;0;125\n"
                                                "2026-12;6;4383;740;1;-672\n"));
        EXPECT_EQ(report->unreadable().count() + overview->months.unreadable().count(), 0);
        EXPECT_EQ(overview->findings,
                  QStringList{"09-12-2026: 9:00 hvile (gik 16:00 den 08-12-2026, mødte 01:00)"});
        seen.emplace_back(report->table() + overview->months.table(), overview->chart.flex,
                          overview->chart.weeks);
    }
    EXPECT_EQ(seen[0], seen[1]);
}

#ifndef _WIN32  // two copies at once, odd things at the file's path, the umask, a full disk

// Exit statuses of `count` children let go at once while `meanwhile` runs; an alarm ends a hang.
std::vector<int> inChildren(
    int count, auto step, std::function<void()> meanwhile = [] {}) {
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

// Two first starts at once made two files; each append builds on the last, under either lock.
TEST_F(JournalFileTest, TwoCopiesAtOnceMakeOneFileAndLoseNoRecord) {
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
        EXPECT_FALSE(QFile::exists(p + u".lock"_s) || othersMayWrite(p));
    }
}

// Records said saved were once lost in a move: the writer finds the file moved, follows the store.
TEST_F(JournalFileTest, AMoveWhileAnotherCopyAppendsLosesNoRecord) {
    if (!otherVolume.isValid()) {
        GTEST_SKIP() << "no writable tmpfs at /dev/shm for a move across volumes";
    }
    const QString stored = path("store");
    const QByteArray years = QByteArray("x;1;-;-;-;0;5\r\n").repeated(200000);  // a slow copy
    for (int round = 0; round < 5; ++round) {
        const QString from = writeBytes(path("Horalog.Dat"), years);
        const QString to = otherVolume.filePath(u"moved%1.dat"_s.arg(round));
        if (QFile f(from); f.open(QIODevice::ReadOnly)) {
            ::fsync(f.handle());  // the appends' syncs are quick, so many fall within the copy
        }
        writeBytes(stored, from.toUtf8());
        const auto writer = [&](int) {
            QByteArray saved;  // the records reported saved, till four landed in the moved file
            for (int moved = 0; moved < 4;) {
                const QString at = QString::fromUtf8(readBytes(stored));
                const QByteArray record = "r;" + QByteArray::number(saved.count('\n') + 1);
                const FileOutcome done = appendPlain(at, {QString::fromLatin1(record)}, {true});
                if (!done.ok() && done.error().problem != FileProblem::Missing) {
                    return 2;
                }
                saved += done.ok() ? record + "\r\n" : "";
                moved += done.ok() && at == to;
            }
            writeBytes(path("saved"), saved);
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
                            std::rename(qPrintable(stored + u".new"_s), qPrintable(stored));
                            return true;
                        }).ok());
            ::umask(savedMask);
        };
        ASSERT_EQ(inChildren(1, writer, move), std::vector<int>{0});
        EXPECT_TRUE(readBytes(to) == years + readBytes(path("saved")))
            << "round " << round << ": not the bytes of the file and the records said saved";
        EXPECT_FALSE(othersMayWrite(to) || QFile::exists(from));
        QFile::remove(to);
    }
}

// A FIFO once swallowed every record said saved (tried in children: it may block); symlinks.
TEST_F(JournalFileTest, OnlyRegularFilesAreUsedAndSymlinksFollowed) {
    ASSERT_EQ(::mkfifo(QFile::encodeName(path("fifo")), 0600), 0);
    ASSERT_EQ(::symlink(QFile::encodeName(path("fifo")), QFile::encodeName(path("to-fifo"))), 0);
    ASSERT_EQ(::symlink("file.dat", QFile::encodeName(path("to-file"))), 0);
    ASSERT_EQ(::symlink("nowhere", QFile::encodeName(path("dangling"))), 0);
    const QString odd[] = {path("fifo"), path("to-fifo"), dir.path(), u"/dev/null"_s};
    const auto notRegular = [](const auto& result) {
        return !result.ok() && result.error().problem == FileProblem::NotRegular &&
               result.error().text ==
                   u"Stien er ikke en almindelig fil (en mappe, en FIFO eller en enhed)."_s;
    };
    const std::vector<int> refused = inChildren(4, [&](int i) {
        return !(registrationPathKind(odd[i]) == PathKind::NotRegular &&
                 notRegular(appendPlain(odd[i], {u"r"_s})) &&
                 notRegular(readLastRecordLine(odd[i])) &&
                 (i == 3 ||  // never risk removing a device
                  notRegular(moveRegistrationFile(odd[i], path("moved.dat"),
                                                  []() -> bool { std::_Exit(3); }))));
    });
    EXPECT_EQ(refused, std::vector<int>(4, 0));
    const QString file = writeBytes(path("file.dat"), "x;1;-;-;-;0;5\r\n");
    const auto kind = registrationPathKind;
    EXPECT_EQ((std::vector{kind(file), kind(path("to-file")), kind(path("dangling")),
                           kind(path("none")), kind(writeBytes(path(".hidden.dat"), "a"))}),
              (std::vector{PathKind::RegularFile, PathKind::RegularFile, PathKind::Missing,
                           PathKind::Missing, PathKind::RegularFile}));  // hidden: still the user's
    ASSERT_TRUE(appendPlain(path("to-file"), {u"r;1"_s}).ok() && QDir().mkdir(path("b")));
    ASSERT_TRUE(moveRegistrationFile(path("to-file"), path("b/new.dat"), [] { return true; }).ok());
    EXPECT_FALSE(QFileInfo(path("b/new.dat")).isSymLink() || QFile::exists(path("moved.dat")));
    EXPECT_EQ(readBytes(path("b/new.dat")), "x;1;-;-;-;0;5\r\nr;1\r\n");
    EXPECT_FALSE(QFileInfo::exists(file) || QFileInfo(path("to-file")).isSymLink());
}

// A full disk once left half a record as the last figures; half a new file or copy goes.
TEST_F(JournalFileTest, AStoppedWriteLeavesTheFileAsItWas) {
    const QByteArray was = "dato;dag\r\n06-12-2026;3;08:00;16:30;800;2220;125;\r\n";
    const QString old = writeBytes(path("old.dat"), was);
    const QString copy = otherVolume.filePath(u"new.dat"_s);
    const QStringList add{u"dato;dag;komme"_s, u"06-12-2026;4;08:00;16:30;800;3020;185;"_s};
    const auto full = [](const auto& o) { return !o.ok() && o.error().text == systemText(EFBIG); };
    EXPECT_TRUE(failsWithSizeLimit(static_cast<rlim_t>(was.size()) + 20,
                                   [&] { return full(appendPlain(old, add)); }));
    EXPECT_TRUE(failsWithSizeLimit(30, [&] { return full(appendPlain(path("fresh.dat"), add)); }));
    if (otherVolume.isValid()) {
        EXPECT_TRUE(failsWithSizeLimit(20, [&] {
            return full(moveRegistrationFile(old, copy, []() -> bool { std::_Exit(2); }));
        }));
    }
    EXPECT_EQ(readBytes(old), was);
    EXPECT_FALSE(QFile::exists(path("fresh.dat")) || QFile::exists(copy));
}

#endif

}  // namespace
}  // namespace horalog
