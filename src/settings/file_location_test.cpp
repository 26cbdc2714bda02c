#include "settings/file_location.h"

#include <gtest/gtest.h>

#include <QTemporaryDir>

namespace horalog {
namespace {

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

TEST(ChooseLocation, OnlyInAnExistingFolder) {
    QTemporaryDir dir;
    const QString inside = dir.filePath(QStringLiteral("ny.dat"));
    const QString missing = dir.filePath(QStringLiteral("mangler/ny.dat"));
    EXPECT_EQ(chooseLocation(inside, true), LocationChoice::AskToMove);
    EXPECT_EQ(chooseLocation(inside, false), LocationChoice::StoreOnly);
    EXPECT_EQ(chooseLocation(missing, true), LocationChoice::Refused);
    EXPECT_EQ(missingFolderRefusal(missing),
              QStringLiteral("Mappen \"") + dir.path() + QStringLiteral("/mangler\" findes ikke."));
}

}  // namespace
}  // namespace horalog
