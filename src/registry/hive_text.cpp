#include "registry/hive_text.h"

#include <algorithm>

namespace horalog {

namespace {

char lower(char c) {
    return (c >= 'A' && c <= 'Z') ? static_cast<char>(c - 'A' + 'a') : c;
}

std::string_view trimRight(std::string_view s) {
    while (!s.empty() && (s.back() == '\r' || s.back() == ' ' || s.back() == '\t')) {
        s.remove_suffix(1);
    }
    return s;
}

// Reads a quoted string at the start of s; on success s is advanced past it.
std::optional<std::string> readQuoted(std::string_view& s) {
    if (s.empty() || s.front() != '"') {
        return std::nullopt;
    }
    std::string out;
    for (std::size_t i = 1; i < s.size();) {
        const auto special = s.find_first_of("\"\\", i);
        if (special == std::string_view::npos) {
            break;
        }
        out.append(s.substr(i, special - i));
        if (s[special] == '"') {
            s.remove_prefix(special + 1);
            return out;
        }
        if (special + 1 >= s.size() || (s[special + 1] != '\\' && s[special + 1] != '"')) {
            return std::nullopt;
        }
        out += s[special + 1];
        i = special + 2;
    }
    return std::nullopt;
}

std::string quoted(std::string_view s) {
    std::string out = "\"";
    for (char c : s) {
        if (c == '\\' || c == '"') {
            out += '\\';
        }
        out += c;
    }
    out += '"';
    return out;
}

std::string_view parentOf(std::string_view path) {
    const auto cut = path.rfind('\\');
    return cut == std::string_view::npos ? std::string_view() : path.substr(0, cut);
}

constexpr std::size_t kUnlimited = static_cast<std::size_t>(-1);

}  // namespace

bool sameName(std::string_view a, std::string_view b) {
    return a.size() == b.size() && std::equal(a.begin(), a.end(), b.begin(),
                                              [](char x, char y) { return lower(x) == lower(y); });
}

std::uint64_t nameHash(std::string_view name) {
    std::uint64_t h = 14695981039346656037ull;  // FNV-1a
    for (char c : name) {
        h = (h ^ static_cast<unsigned char>(lower(c))) * 1099511628211ull;
    }
    return h;
}

const std::string* findValue(const HiveKey& key, std::string_view name) {
    for (const auto& [n, v] : key.values) {
        if (n.size() == name.size() && sameName(n, name)) {
            return &v;
        }
    }
    return nullptr;
}

void Hive::reindex() const {
    index_.clear();
    index_.reserve(keys.size());
    for (std::size_t i = 0; i < keys.size(); ++i) {
        index_.emplace(nameHash(keys[i].path), i);
    }
    indexedKeys_ = keys.size();
}

const HiveKey* Hive::indexed(std::string_view path) const {
    if (indexedKeys_ != keys.size()) {
        reindex();
    }
    const auto [first, last] = index_.equal_range(nameHash(path));
    for (auto it = first; it != last; ++it) {
        if (it->second < keys.size() && sameName(keys[it->second].path, path)) {
            return &keys[it->second];
        }
    }
    return nullptr;
}

HiveKey* Hive::find(std::string_view path) {
    return const_cast<HiveKey*>(indexed(path));
}

const HiveKey* Hive::find(std::string_view path) const {
    return indexed(path);
}

void Hive::add(std::string path) {
    const bool inStep = indexedKeys_ == keys.size();
    const std::uint64_t hash = nameHash(path);
    keys.push_back(HiveKey{std::move(path), {}});
    if (inStep) {
        index_.emplace(hash, keys.size() - 1);
        indexedKeys_ = keys.size();
    }
}

HiveKey& Hive::create(std::string_view path) {
    std::size_t unlimited = kUnlimited;
    return *create(path, unlimited);
}

HiveKey* Hive::create(std::string_view path, std::size_t& budget) {
    if (HiveKey* existing = find(path)) {
        return existing;
    }
    // The lengths of the paths to add, the key's own first, then each missing one above it.
    // Walked upwards without recursion, and given up as soon as the budget is spent: a path
    // nested a hundred thousand deep must not make a hundred thousand copies of itself.
    std::vector<std::size_t> missing{path.size()};
    std::size_t cost = path.size() + 1;
    for (std::size_t end = path.size(); cost <= budget;) {
        const auto cut = end == 0 ? std::string_view::npos : path.rfind('\\', end - 1);
        if (cut == std::string_view::npos || cut == 0 || find(path.substr(0, cut)) != nullptr) {
            break;
        }
        missing.push_back(cut);
        cost += cut + 1;
        end = cut;
    }
    if (cost > budget) {
        return nullptr;
    }
    budget -= cost;
    for (auto it = missing.rbegin(); it != missing.rend(); ++it) {
        add(std::string(path.substr(0, *it)));
    }
    return &keys.back();
}

bool Hive::remove(std::string_view path) {
    const HiveKey* key = find(path);
    if (key == nullptr) {
        return false;
    }
    keys.erase(keys.begin() + (key - keys.data()));
    reindex();
    return true;
}

std::vector<std::string> Hive::childNames(std::string_view path) const {
    std::vector<std::string> names;
    for (const auto& key : keys) {
        if (key.path.empty() || !sameName(parentOf(key.path), path)) {
            continue;
        }
        names.push_back(key.path.substr(key.path.rfind('\\') + 1));
    }
    return names;
}

std::optional<Hive> parseHive(std::string_view text, std::string_view rootName) {
    if (text.size() > kMaxHiveText) {
        return std::nullopt;
    }
    if (text.substr(0, 3) == "\xEF\xBB\xBF") {
        text.remove_prefix(3);
    }
    Hive hive;
    std::size_t budget = kMaxHiveText;
    // Each value by its key's position and its folded name, so that a name written twice
    // replaces the first without a scan of the key's values.
    std::unordered_multimap<std::uint64_t, std::pair<std::size_t, std::size_t>> values;
    const auto valueHash = [](std::size_t key, std::string_view name) {
        return nameHash(name) ^ (static_cast<std::uint64_t>(key) * 0x9E3779B97F4A7C15ull);
    };
    std::optional<std::size_t> current;
    bool sawHeader = false;
    while (!text.empty()) {
        const auto end = text.find('\n');
        std::string_view line = trimRight(text.substr(0, end));
        text.remove_prefix(end == std::string_view::npos ? text.size() : end + 1);
        if (line.empty() || line.front() == ';') {
            continue;
        }
        if (!sawHeader) {
            if (line != "REGEDIT4") {
                return std::nullopt;
            }
            sawHeader = true;
            continue;
        }
        if (line.front() == '[') {
            if (line.back() != ']') {
                return std::nullopt;
            }
            std::string_view name = line.substr(1, line.size() - 2);
            if (!sameName(name.substr(0, rootName.size()), rootName)) {
                return std::nullopt;
            }
            name.remove_prefix(rootName.size());
            if (!name.empty() && name.front() != '\\') {
                return std::nullopt;
            }
            if (!name.empty()) {
                name.remove_prefix(1);
            }
            const HiveKey* key = hive.create(name, budget);
            if (key == nullptr) {
                return std::nullopt;
            }
            current = static_cast<std::size_t>(key - hive.keys.data());
            continue;
        }
        if (!current) {
            return std::nullopt;
        }
        std::string name;
        if (line.substr(0, 1) == "@") {
            line.remove_prefix(1);
        } else {
            auto n = readQuoted(line);
            if (!n) {
                return std::nullopt;
            }
            name = std::move(*n);
        }
        if (line.empty() || line.front() != '=') {
            return std::nullopt;
        }
        line.remove_prefix(1);
        auto value = readQuoted(line);
        if (!value || !line.empty()) {
            return std::nullopt;
        }
        auto& keyValues = hive.keys[*current].values;
        const std::uint64_t hash = valueHash(*current, name);
        const auto [first, last] = values.equal_range(hash);
        const auto same = std::find_if(first, last, [&](const auto& entry) {
            return entry.second.first == *current &&
                   sameName(keyValues[entry.second.second].first, name);
        });
        if (same != last) {
            keyValues[same->second.second].second = std::move(*value);
        } else {
            values.emplace(hash, std::pair(*current, keyValues.size()));
            keyValues.emplace_back(std::move(name), std::move(*value));
        }
    }
    if (!sawHeader) {
        return std::nullopt;
    }
    return hive;
}

std::string writeHive(const Hive& hive, std::string_view rootName) {
    std::size_t size = 10;
    for (const auto& key : hive.keys) {
        size += rootName.size() + key.path.size() + 5;
        for (const auto& [name, value] : key.values) {
            size += name.size() + value.size() + 6;
        }
    }
    std::string out;
    out.reserve(size);
    out += "REGEDIT4\n\n";
    for (const auto& key : hive.keys) {
        out += '[';
        out += rootName;
        if (!key.path.empty()) {
            out += '\\';
            out += key.path;
        }
        out += "]\n";
        for (const auto& [name, value] : key.values) {
            out += name.empty() ? std::string("@") : quoted(name);
            out += '=';
            out += quoted(value);
            out += '\n';
        }
        out += '\n';
    }
    return out;
}

bool storableText(std::string_view text) {
    return text.find_first_of(std::string_view("\r\n\0", 3)) == std::string_view::npos;
}

}  // namespace horalog
