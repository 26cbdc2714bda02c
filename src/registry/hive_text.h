#pragma once

#include <cstddef>
#include <cstdint>
#include <optional>
#include <string>
#include <string_view>
#include <unordered_map>
#include <utility>
#include <vector>

namespace horalog {

// A store text larger than this is not a settings file; the keys a text makes (parents
// included) may not add up to more either, so a deeply nested store cannot grow without end.
inline constexpr std::size_t kMaxHiveText = std::size_t{16} << 20;

// The keys of one root as a REGEDIT4 text holds them. Paths are below the root.
struct HiveKey {
    std::string path;
    std::vector<std::pair<std::string, std::string>> values;
};

// The keys in the order of the file. Change them through create() and remove(), which keep the
// index by name; the index is rebuilt when the keys were changed behind its back.
struct Hive {
    std::vector<HiveKey> keys;

    HiveKey* find(std::string_view path);
    const HiveKey* find(std::string_view path) const;
    // Adds the key and every missing key above it.
    HiveKey& create(std::string_view path);
    // The same, within a budget of path bytes that the new keys use up; null, and nothing
    // added, when they would need more.
    HiveKey* create(std::string_view path, std::size_t& budget);
    // Removes the key alone (not its subkeys); false when there is none.
    bool remove(std::string_view path);
    std::vector<std::string> childNames(std::string_view path) const;

private:
    const HiveKey* indexed(std::string_view path) const;
    void reindex() const;
    void add(std::string path);

    // Hash of the case-folded path to the key's position.
    mutable std::unordered_multimap<std::uint64_t, std::size_t> index_;
    mutable std::size_t indexedKeys_ = 0;
};

bool sameName(std::string_view a, std::string_view b);
// The case-folded name's hash, as names are compared.
std::uint64_t nameHash(std::string_view name);
const std::string* findValue(const HiveKey& key, std::string_view name);

std::optional<Hive> parseHive(std::string_view text, std::string_view rootName);
std::string writeHive(const Hive& hive, std::string_view rootName);
// A line break or NUL cannot be written as a REGEDIT4 string.
bool storableText(std::string_view text);

}  // namespace horalog
