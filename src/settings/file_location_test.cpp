#include "settings/file_location.h"

#include <gtest/gtest.h>

#include <QFile>
#include <QTemporaryDir>
#include <stdexcept>

namespace horalog {
namespace {

QByteArray bytesOf(const QString& path) {
    QFile f(path);
    return f.open(QIODevice::ReadOnly) ? f.readAll() : QByteArray();
}

TEST(SplitFilename, FolderAndName) {
    const struct {
        const char* name;
        const char* folder;
        const char* file;
    } cases[] = {{"/home/a/Horalog.Dat", "/home/a", "Horalog.Dat"},
                 {"Horalog.Dat", ".", "Horalog.Dat"},
                 {"/data/", "/data", ""},
                 {"/Horalog.Dat", "", "Horalog.Dat"}};
    for (const auto& c : cases) {
        EXPECT_EQ(splitFilename(QLatin1String(c.name), true), QLatin1String(c.folder));
        EXPECT_EQ(splitFilename(QLatin1String(c.name), false), QLatin1String(c.file));
    }
}

class MoveRegistrationFile : public ::testing::Test {
protected:
    void SetUp() override {
        QFile f(from);
        ASSERT_TRUE(f.open(QIODevice::WriteOnly));
        f.write(records);
    }
    QTemporaryDir dir;
    const QByteArray records = "dato;dag\r\n06-12-2026;1;08:00;16:30;800;800;60;\r\n";
    const QString from = dir.filePath(QStringLiteral("gammel.dat"));
    const QString to = dir.filePath(QStringLiteral("ny.dat"));
};

TEST_F(MoveRegistrationFile, StoresOnlyOnceTheNewFileIsWholeAndRemovesTheOldLast) {
    int stored = 0;
    const FileOutcome moved = moveRegistrationFile(from, to, [&] {
        ++stored;
        EXPECT_EQ(bytesOf(to), records);    // whole before the store names it
        EXPECT_EQ(bytesOf(from), records);  // the old name still there
    });
    EXPECT_TRUE(moved.ok);
    EXPECT_EQ(stored, 1);
    EXPECT_EQ(bytesOf(to), records);
    EXPECT_FALSE(QFile::exists(from));
}

TEST_F(MoveRegistrationFile, FailedCopyStoresNothing) {
    QFile taken(to);
    ASSERT_TRUE(taken.open(QIODevice::WriteOnly));
    taken.write("someone else's");
    taken.close();
    bool stored = false;
    EXPECT_FALSE(moveRegistrationFile(from, to, [&] { stored = true; }).ok);
    EXPECT_FALSE(stored);
    EXPECT_EQ(bytesOf(from), records);
    EXPECT_EQ(bytesOf(to), QByteArray("someone else's"));
}

TEST_F(MoveRegistrationFile, FailedStoreKeepsTheOldFileAndDropsTheCopy) {
    EXPECT_THROW(moveRegistrationFile(from, to, [] { throw std::runtime_error("store"); }),
                 std::runtime_error);
    EXPECT_EQ(bytesOf(from), records);
    EXPECT_FALSE(QFile::exists(to));
}

TEST_F(MoveRegistrationFile, SamePathOnlyStores) {
    bool stored = false;
    EXPECT_TRUE(moveRegistrationFile(from, from, [&] { stored = true; }).ok);
    EXPECT_TRUE(stored);
    EXPECT_EQ(bytesOf(from), records);
}

TEST(FolderOfFileExists, OnlyAnExistingFolder) {
    QTemporaryDir dir;
    EXPECT_TRUE(folderOfFileExists(dir.filePath(QStringLiteral("ny.dat"))));
    EXPECT_FALSE(folderOfFileExists(dir.filePath(QStringLiteral("mangler/ny.dat"))));
    EXPECT_FALSE(folderOfFileExists(QString()));
}

}  // namespace
}  // namespace horalog
