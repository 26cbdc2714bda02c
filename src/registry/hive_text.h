#pragma once

#include <optional>
#include <string>
#include <string_view>
#include <utility>
#include <vector>

namespace horalog {

// The keys of one root as a REGEDIT4 text holds them. Paths are below the root.
struct HiveKey {
    std::string path;
    std::vector<std::pair<std::string, std::string>> values;
};

struct Hive {
    std::vector<HiveKey> keys;

    HiveKey* find(std::string_view path);
    const HiveKey* find(std::string_view path) const;
    // Adds the key and every missing key above it.
    HiveKey& create(std::string_view path);
    std::vector<std::string> childNames(std::string_view path) const;
};

bool sameName(std::string_view a, std::string_view b);
const std::string* findValue(const HiveKey& key, std::string_view name);

std::optional<Hive> parseHive(std::string_view text, std::string_view rootName);
std::string writeHive(const Hive& hive, std::string_view rootName);
// A line break or NUL cannot be written as a REGEDIT4 string.
bool storableText(std::string_view text);

}  // namespace horalog
