// A file-size limit, set in a child process, stops a write part-way as a full disk does.
#include <gtest/gtest.h>

#include <QTemporaryDir>

#include "file_bytes.h"
#include "plain_append.h"
#include "size_limit.h"

namespace horalog {
namespace {

// A full disk once left half a record, read as the last figures; a half-made file or copy goes.
TEST(JournalFullDisk, StoppedWriteLeavesTheFileAsItWas) {
    QTemporaryDir dir;
    QTemporaryDir otherVolume(QStringLiteral("/dev/shm/horalog-XXXXXX"));  // copied, not linked
    const QByteArray before = "dato;dag\r\n06-12-2026;3;08:00;16:30;800;2220;125;\r\n";
    const QString existing = testing::writeBytes(dir.filePath(QStringLiteral("old.dat")), before);
    const QString fresh = dir.filePath(QStringLiteral("fresh.dat"));
    const QString copy = otherVolume.filePath(QStringLiteral("new.dat"));
    const QStringList lines{QStringLiteral("dato;dag;komme"),
                            QStringLiteral("06-12-2026;4;08:00;16:30;800;3020;185;")};
    const auto failsOnAFullDisk = [](rlim_t limit, const std::function<FileOutcome()>& step) {
        return testing::failsWithSizeLimit(limit, [&step] {
            const FileOutcome o = step();
            return !o.ok() && o.error().text == testing::systemText(EFBIG);
        });
    };
    // Room for part of the record; for part of the header, and for opening a new file.
    EXPECT_TRUE(failsOnAFullDisk(static_cast<rlim_t>(before.size()) + 20,
                                 [&] { return testing::appendPlain(existing, lines); }));
    EXPECT_TRUE(failsOnAFullDisk(30, [&] { return testing::appendPlain(fresh, lines); }));
    if (otherVolume.isValid()) {
        EXPECT_TRUE(failsOnAFullDisk(20, [&] {
            return moveRegistrationFile(existing, copy, []() -> bool { std::_Exit(2); });
        }));
    }
    EXPECT_EQ(testing::readBytes(existing), before);
    EXPECT_FALSE(QFile::exists(fresh) || QFile::exists(copy));
}

}  // namespace
}  // namespace horalog
