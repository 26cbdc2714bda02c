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
    for (std::size_t i = 1; i < s.size(); ++i) {
        const char c = s[i];
        if (c == '"') {
            s.remove_prefix(i + 1);
            return out;
        }
        if (c == '\\') {
            if (i + 1 >= s.size() || (s[i + 1] != '\\' && s[i + 1] != '"')) {
                return std::nullopt;
            }
            out += s[++i];
        } else {
            out += c;
        }
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

std::string parentOf(std::string_view path) {
    const auto cut = path.rfind('\\');
    return cut == std::string_view::npos ? std::string() : std::string(path.substr(0, cut));
}

}  // namespace

bool sameName(std::string_view a, std::string_view b) {
    return a.size() == b.size() && std::equal(a.begin(), a.end(), b.begin(),
                                              [](char x, char y) { return lower(x) == lower(y); });
}

const std::string* findValue(const HiveKey& key, std::string_view name) {
    for (const auto& [n, v] : key.values) {
        if (sameName(n, name)) {
            return &v;
        }
    }
    return nullptr;
}

HiveKey* Hive::find(std::string_view path) {
    for (auto& key : keys) {
        if (sameName(key.path, path)) {
            return &key;
        }
    }
    return nullptr;
}

const HiveKey* Hive::find(std::string_view path) const {
    return const_cast<Hive*>(this)->find(path);
}

HiveKey& Hive::create(std::string_view path) {
    if (HiveKey* existing = find(path)) {
        return *existing;
    }
    if (!path.empty()) {
        const std::string parent = parentOf(path);
        if (!parent.empty()) {
            create(parent);
        }
    }
    keys.push_back(HiveKey{std::string(path), {}});
    return keys.back();
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
    if (text.substr(0, 3) == "\xEF\xBB\xBF") {
        text.remove_prefix(3);
    }
    Hive hive;
    HiveKey* current = nullptr;
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
            current = &hive.create(name);
            continue;
        }
        if (current == nullptr) {
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
        bool replaced = false;
        for (auto& [n, v] : current->values) {
            if (sameName(n, name)) {
                v = *value;
                replaced = true;
            }
        }
        if (!replaced) {
            current->values.emplace_back(std::move(name), std::move(*value));
        }
    }
    if (!sawHeader) {
        return std::nullopt;
    }
    return hive;
}

std::string writeHive(const Hive& hive, std::string_view rootName) {
    std::string out = "REGEDIT4\n\n";
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
