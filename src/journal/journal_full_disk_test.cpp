// The registration file on a full disk: a file-size limit, set in a child process, stops a write
// part-way as a full disk does.
#include <gtest/gtest.h>

#include <QFile>
#include <QTemporaryDir>

#include "file_bytes.h"
#include "journal/journal_file.h"
#include "size_limit.h"

namespace horalog {
namespace {

using testing::readBytes;
using testing::writeBytes;

// Whether the step, with files limited to `limit` bytes, fails with the system's reason.
bool failsOnAFullDisk(rlim_t limit, const std::function<FileOutcome()>& step) {
    return testing::failsWithSizeLimit(limit, [&] {
        const FileOutcome o = step();
        return !o.ok && o.error == testing::systemText(EFBIG);
    });
}

// A full disk once left the first bytes of a record behind, and the next start read that half
// line as the last figures.
TEST(JournalFullDisk, FailedWriteLeavesTheFileAsItWas) {
    QTemporaryDir dir;
    const QByteArray before = "dato;dag\r\n06-12-2026;3;08:00;16:30;800;2220;125;\r\n";
    const QString existing = writeBytes(dir.filePath(QStringLiteral("limited.dat")), before);
    const QString fresh = dir.filePath(QStringLiteral("fresh.dat"));
    const std::pair<QString, rlim_t> cases[] = {
        {existing, static_cast<rlim_t>(before.size() + 20)},  // room for part of the record
        {fresh, 30}};                                         // part of the header and opening
    for (const auto& [file, size] : cases) {
        EXPECT_TRUE(failsOnAFullDisk(size, [&file = file] {
            return appendLines(file, {QStringLiteral("dato;dag;komme"),
                                      QStringLiteral("06-12-2026;4;08:00;16:30;800;3020;185;")});
        }));
    }
    EXPECT_EQ(readBytes(existing), before);
    EXPECT_FALSE(QFile::exists(fresh));
}

// A move to another volume that stops part-way goes again, and the store is not told.
TEST(JournalFullDisk, MoveCopyStoppedPartWayGoesAgain) {
    QTemporaryDir dir;
    QTemporaryDir otherVolume(QStringLiteral("/dev/shm/horalog-XXXXXX"));  // copied, not linked
    if (!otherVolume.isValid()) {
        GTEST_SKIP() << "no writable tmpfs at /dev/shm for a move across volumes";
    }
    const QByteArray records = "dato;dag\r\n06-12-2026;1;08:00;16:30;800;800;60;\r\n";
    const QString from = writeBytes(dir.filePath(QStringLiteral("old.dat")), records);
    const QString copy = otherVolume.filePath(QStringLiteral("new.dat"));
    EXPECT_TRUE(failsOnAFullDisk(
        20, [&] { return moveRegistrationFile(from, copy, [] { std::_Exit(2); }); }));
    EXPECT_FALSE(QFile::exists(copy));
    EXPECT_EQ(readBytes(from), records);
}

}  // namespace
}  // namespace horalog
