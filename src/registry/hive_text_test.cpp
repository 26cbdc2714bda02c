#include "registry/hive_text.h"

#include <gtest/gtest.h>

#include <chrono>
#include <optional>
#include <string>

namespace horalog {
namespace {

// Linear in the size whatever the shape: a scan for keys and recursion for parents took minutes.
TEST(HiveText, LargeAndNestedStoresInLinearTime) {
    std::string deep = "k";  // "k\k\...\k", of which a nested key takes the levels it needs
    while (deep.size() < 400000) {
        deep += "\\k";
    }
    std::string manyValues = "REGEDIT4\n\n[HKEY_CURRENT_USER\\Software\\Kvistborg\\Horalog]\n";
    std::string manyKeys = "REGEDIT4\n\n", sharedChain = "REGEDIT4\n\n";
    for (int i = 0; i < 52000; ++i) {  // every name given twice: the later holds
        const std::string n = (i < 26000 ? "Navn" : "NAVN") + std::to_string(i % 26000),
                          k = std::to_string(i);
        manyValues += "\"" + n + "\"=\"" + n + "-0123456789-0123456789\"\n";
        manyKeys +=
            i < 40000 ? "[HKEY_CURRENT_USER\\Software\\K" + k + "]\n\"Moedt\"=\"08:00\"\n" : "";
        sharedChain +=
            i < 300 ? "[HKEY_CURRENT_USER\\" + deep.substr(0, 1999) + "\\leaf" + k + "]\n" : "";
    }
    const auto nested = [&](std::size_t levels) {
        return "REGEDIT4\n[HKEY_CURRENT_USER\\" + deep.substr(0, 2 * levels - 1) + "]\n";
    };
    // Every parent gets a section: 5000 levels make 25 MB, more than a store holds; none: refused.
    const std::tuple<const char*, std::string, std::optional<std::size_t>, std::size_t> cases[] = {
        {"2 MB of values", manyValues, 3, 26000},
        {"2 MB of keys", manyKeys, 40001, 40000},
        {"a chain shared by many keys", sharedChain, 1300, 0},
        {"2000 levels", nested(2000), 2000, 0},
        {"5000 levels", nested(5000), {}, 0},
        {"400 KB of levels", nested(200000), {}, 0},
    };
    for (const auto& [what, text, keys, values] : cases) {
        SCOPED_TRACE(what);
        const auto start = std::chrono::steady_clock::now();
        const auto hive = parseHive(text, "HKEY_CURRENT_USER");
        const std::string written = hive ? writeHive(*hive, "HKEY_CURRENT_USER") : "";
        EXPECT_LT(std::chrono::steady_clock::now() - start, std::chrono::seconds(2));
        const auto again = parseHive(written, "HKEY_CURRENT_USER");  // none when refused
        std::size_t count = 0;
        for (const auto& key : again ? again->keys : std::vector<HiveKey>{}) {
            count += key.values.size();
        }
        EXPECT_EQ(std::pair(again ? std::optional(again->keys.size()) : std::nullopt, count),
                  std::pair(keys, values));
    }
}

// The index follows every change, in any case; a hand-edited file's line ends, blanks, names twice.
TEST(HiveText, KeysFoundByNameInAnyCase) {
    auto hive = parseHive(
        "REGEDIT4\r\n[HKEY_CURRENT_USER\\A\\B]\r\n\"x\"=\"1\" \t \r\n[HKEY_CURRENT_USER\\a\\c]\n"
        R"("f\\\"=@"=" C:\\Horalog.Dat say \"hi\"")"
        "\n[HKEY_CURRENT_USER\\a\\b]\n\"X\"=\"2\"\r\n",
        "HKEY_CURRENT_USER");
    ASSERT_TRUE(hive && hive->keys.size() == 3u && hive->find("a\\B"));  // A, A\B, a\c
    EXPECT_EQ(hive->find("a\\B")->values, (decltype(HiveKey::values){{"x", "2"}}));
    EXPECT_EQ(*findValue(*hive->find("A\\C"), "F\\\"=@"), " C:\\Horalog.Dat say \"hi\"");
    EXPECT_EQ(hive->childNames("A"), (std::vector<std::string>{"B", "c"}));
    EXPECT_EQ(&hive->create("A\\C"), hive->find("a\\c"));
    hive->create("a\\c\\d\\e");
    EXPECT_EQ(hive->keys.size(), 5u);
    EXPECT_TRUE(hive->remove("A\\b") && !hive->remove("A\\b") && !hive->find("a\\b"));
    EXPECT_EQ(hive->create("A\\C\\D\\E").path, "a\\c\\d\\e");  // found, not made again
    EXPECT_EQ(hive->childNames("A"), (std::vector<std::string>{"c"}));
}

}  // namespace
}  // namespace horalog
