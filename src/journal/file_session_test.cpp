#include "journal/file_session.h"

#include <gtest/gtest.h>

#include <QFile>
#include <QTemporaryDir>

#include "file_bytes.h"
#include "journal/record.h"

namespace horalog {
namespace {

using testing::readBytes;
using testing::writeBytes;

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

// One copy's day 08:00-16:30 with 50 of lunch, appended on what the file held when this copy
// read it after another program changed it meanwhile (appended, or the user corrected the last
// line in a spreadsheet; "-" removed it): the answer, the file and the figures held after. A day
// that once vanished from the balance (another copy appended on the figures it read at its
// start) is built on the file's own last record now. A lock held elsewhere and a damaged file
// are told by the window's scenarios.
TEST(FileSession, AppendsOnTheFilesLastFigures) {
    using A = AppendOutcome;
    const struct {
        QByteArray read, meanwhile;  // read: none, the file was never there
        bool fits;                   // the figures can hold the day
        AppendOutcome outcome;
        QByteArray after;
        Figures figures;
    } rows[] = {
        {kDays,
         {},
         true,
         A::Written,
         kDays + "05-12-2026;4;08:00;16:30;800;3020;185;\r\n",
         {4, 3020, 185}},
        {kDays,
         kDays + kMorning,
         true,
         A::WrittenOnFiguresReadAgain,
         kDays + kMorning + "05-12-2026;5;08:00;16:30;800;3370;-205;\r\n",
         {5, 3370, -205}},
        {kDays,
         kCorrected,
         true,
         A::WrittenOnFiguresReadAgain,
         kCorrected + "05-12-2026;4;08:00;16:30;800;3020;260;\r\n",
         {4, 3020, 260}},
        {kDays, {}, false, A::Refused, kDays, {3, 2220, 125}},
        {kDays, kCorrected, false, A::Refused, kCorrected, {3, 2220, 200}},
        {kHead,
         {},
         true,
         A::Written,
         kHead + "05-12-2026;1;08:00;16:30;800;800;60;\r\n",
         {1, 800, 60}},  // no record: on the figures held
        {{}, {}, true, A::Written, "05-12-2026;1;08:00;16:30;800;800;60;\r\n", {1, 800, 60}},
        {kDays, "-", true, A::Missing, {}, {3, 2220, 125}},  // seen, so never made anew
    };
    for (const auto& r : rows) {
        QTemporaryDir dir;
        const QString p = dir.filePath(QStringLiteral("Horalog.Dat"));
        FileSession session;
        session.setPath(r.read.isEmpty() ? p : writeBytes(p, r.read));
        ASSERT_TRUE(r.read.isEmpty() || session.read().ok());
        if (r.meanwhile == "-") {
            QFile::remove(p);
        } else if (!r.meanwhile.isEmpty()) {
            writeBytes(p, r.meanwhile);
        }
        const std::string row = (r.read + '|' + r.meanwhile).toStdString();
        EXPECT_EQ(session.append(day(r.fits)), r.outcome) << row;
        EXPECT_EQ(session.figures(), r.figures) << row;
        EXPECT_EQ(readBytes(p), r.after) << row;
    }
}

// A first start that declined the file's records begins a new period at its end; its lines
// begin a file, so one removed meanwhile is made anew.
TEST(FileSession, NewPeriodAtTheFilesEnd) {
    QTemporaryDir dir;
    const QString p = dir.filePath(QStringLiteral("Horalog.Dat"));
    FileSession session;
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

// A new file, one another first start made a moment before (its balance counts), a last record
// with a figure too large, and the look between commands: the file is read again only when it
// changed, and its figures count only when its last record is another than this copy's.
TEST(FileSession, CreateReadAndFollow) {
    QTemporaryDir dir;
    const QString p = dir.filePath(QStringLiteral("h.dat"));
    FileSession session;
    session.setPath(p);
    EXPECT_FALSE(session.read().ok());  // none there
    auto created = session.create(QStringLiteral("05-12-2026"), -35);
    ASSERT_TRUE(created.ok());
    EXPECT_EQ(*created, Created::Here);
    EXPECT_EQ(readBytes(p), kHead + "05-12-2026;0;-;-;-;0;-35\r\n");
    EXPECT_EQ(session.figures(), (Figures{0, 0, -35}));
    FileSession other;
    other.setPath(p);
    created = other.create(QStringLiteral("05-12-2026"), 200);
    ASSERT_TRUE(created.ok());
    EXPECT_EQ(*created, Created::Elsewhere);
    EXPECT_EQ(other.figures(), (Figures{0, 0, -35}));
    EXPECT_EQ(readBytes(p), kHead + "05-12-2026;0;-;-;-;0;-35\r\n");

    EXPECT_FALSE(session.followChanges());  // its own record
    writeBytes(p, kDays);
    EXPECT_TRUE(session.followChanges());
    EXPECT_EQ(session.figures(), (Figures{3, 2220, 125}));
    EXPECT_FALSE(session.reread());  // the same record
    writeBytes(p, kDays + "x;32768;-;-;-;0;0\r\n");
    const FileOutcome bad = session.read();
    ASSERT_FALSE(bad.ok());
    EXPECT_EQ(bad.error().text, QStringLiteral("Den sidste registrering har et tal, der er for "
                                               "stort: x;32768;-;-;-;0;0"));
    EXPECT_FALSE(session.reread());
    EXPECT_EQ(session.figures(), (Figures{3, 2220, 125}));
}

}  // namespace
}  // namespace horalog
