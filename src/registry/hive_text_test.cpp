#include "registry/hive_text.h"

#include <gtest/gtest.h>

#include <chrono>
#include <optional>
#include <string>

namespace horalog {
namespace {

std::string repeated(const std::string& part, std::size_t times) {
    std::string out;
    out.reserve(part.size() * times);
    for (std::size_t i = 0; i < times; ++i) {
        out += part;
    }
    return out;
}

// A store is read and written in time linear in its size, whatever its shape. Each took minutes,
// or ended the program, while every key and value was found by a scan and every missing parent
// by recursion. The bound is generous, for sanitizer builds.
TEST(HiveText, LargeAndNestedStoresInLinearTime) {
    const std::string head = "REGEDIT4\n\n[HKEY_CURRENT_USER\\Software\\Kvistborg\\Horalog]\n";
    std::string manyValues = head;  // 2 MB in one key, every name given twice (the later holds)
    for (const std::string name : {"Navn", "NAVN"}) {
        for (int i = 0; i < 26000; ++i) {
            const std::string n = name + std::to_string(i);
            manyValues += "\"" + n + "\"=\"" + n + "-0123456789-0123456789\"\n";
        }
    }
    std::string manyKeys = "REGEDIT4\n\n";  // 2 MB of keys, each with a value
    for (int i = 0; i < 40000; ++i) {
        manyKeys += "[HKEY_CURRENT_USER\\Software\\Kvistborg\\K" + std::to_string(i) +
                    "]\n\"Moedt\"=\"08:00\"\n\n";
    }
    const std::string chain1000 = "k" + repeated("\\k", 999);
    std::string sharedChain = "REGEDIT4\n\n";  // 300 leaves under one chain 1000 keys deep
    for (int i = 0; i < 300; ++i) {
        sharedChain += "[HKEY_CURRENT_USER\\" + chain1000 + "\\leaf" + std::to_string(i) + "]\n";
    }
    const struct {
        const char* what;
        std::string text;
        std::optional<std::size_t> keys;  // none: refused as no settings file
        std::size_t values;
    } cases[] = {
        {"2 MB of values", manyValues, 3, 26000},
        {"2 MB of keys", manyKeys, 40002, 40000},
        {"a chain shared by many keys", sharedChain, 1300, 0},
        // Every key's parents have sections of their own: 2000 levels make 4 MB of paths, 5000
        // levels 25 MB, more than a store file may hold.
        {"2000 levels", "REGEDIT4\n[HKEY_CURRENT_USER\\k" + repeated("\\k", 1999) + "]\n", 2000, 0},
        {"5000 levels", "REGEDIT4\n[HKEY_CURRENT_USER\\k" + repeated("\\k", 4999) + "]\n", {}, 0},
        {"400 KB of levels",
         "REGEDIT4\n[HKEY_CURRENT_USER\\" + repeated("a\\", 200000) + "a]\n",
         {},
         0},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.what);
        const auto start = std::chrono::steady_clock::now();
        const auto hive = parseHive(c.text, "HKEY_CURRENT_USER");
        const std::string written = hive ? writeHive(*hive, "HKEY_CURRENT_USER") : "";
        EXPECT_LT(std::chrono::steady_clock::now() - start, std::chrono::seconds(2));
        ASSERT_EQ(hive ? std::optional(hive->keys.size()) : std::nullopt, c.keys);
        if (hive) {
            std::size_t values = 0;
            for (const auto& key : hive->keys) {
                values += key.values.size();
            }
            EXPECT_EQ(values, c.values);
            const auto again = parseHive(written, "HKEY_CURRENT_USER");
            ASSERT_TRUE(again);
            EXPECT_EQ(again->keys.size(), hive->keys.size());
        }
    }
}

// The index by name follows every change: a key found in any case, parents made once, a key
// removed no longer found while its neighbours still are.
TEST(HiveText, KeysFoundByNameInAnyCase) {
    auto hive = parseHive(
        "REGEDIT4\n[HKEY_CURRENT_USER\\A\\B]\n\"x\"=\"1\"\n[HKEY_CURRENT_USER\\a\\c]\n"
        "[HKEY_CURRENT_USER\\a\\b]\n\"X\"=\"2\"\n",
        "HKEY_CURRENT_USER");
    ASSERT_TRUE(hive);
    ASSERT_EQ(hive->keys.size(), 3u);  // A, A\B, a\c
    ASSERT_NE(hive->find("a\\B"), nullptr);
    EXPECT_EQ(*findValue(*hive->find("a\\B"), "x"), "2");
    EXPECT_EQ(hive->childNames("A"), (std::vector<std::string>{"B", "c"}));
    EXPECT_EQ(&hive->create("A\\C"), hive->find("a\\c"));
    hive->create("a\\c\\d\\e");
    EXPECT_EQ(hive->keys.size(), 5u);
    EXPECT_TRUE(hive->remove("A\\b"));
    EXPECT_FALSE(hive->remove("A\\b"));
    EXPECT_EQ(hive->find("a\\b"), nullptr);
    ASSERT_NE(hive->find("A\\C\\D\\E"), nullptr);
    EXPECT_EQ(hive->find("A\\C\\D\\E")->path, "a\\c\\d\\e");
    EXPECT_EQ(hive->childNames("A"), (std::vector<std::string>{"c"}));
}

}  // namespace
}  // namespace horalog
