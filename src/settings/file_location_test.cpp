#include "settings/file_location.h"

#include <gtest/gtest.h>

namespace horalog {
namespace {

TEST(SplitFilename, FolderAndName) {
    const char* cases[][3] = {{"/home/a/Horalog.Dat", "/home/a", "Horalog.Dat"},
                              {"Horalog.Dat", ".", "Horalog.Dat"},
                              {"/data/", "/data", ""},
                              {"/Horalog.Dat", "", "Horalog.Dat"}};
    for (const auto& c : cases) {
        EXPECT_EQ(splitFilename(QLatin1String(c[0]), true), QLatin1String(c[1]));
        EXPECT_EQ(splitFilename(QLatin1String(c[0]), false), QLatin1String(c[2]));
    }
}

}  // namespace
}  // namespace horalog
