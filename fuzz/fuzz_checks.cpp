#include "fuzz_checks.h"

#include <unistd.h>
#include <QFile>
#include <QString>
#include <algorithm>
#include <cmath>
#include <cstdio>
#include <cstdlib>
#include <string>

#include "journal/journal_file.h"
#include "journal/record.h"
#include "journal/windows1252.h"
#include "registry/hive_text.h"
#include "text/number_text.h"
#include "text/time_text.h"

namespace horalog::fuzz {

namespace {

void require(bool ok, const char* what) {
    if (!ok) {
        std::fprintf(stderr, "property failed: %s\n", what);
        std::abort();
    }
}

QString textOf(const std::uint8_t* data, std::size_t size) {
    return QString::fromUtf8(reinterpret_cast<const char*>(data), static_cast<qsizetype>(size));
}

// The last line with seven fields, found the slow way: every line from the start, each CR and
// each LF ending one (a CR LF leaves an empty line between, which holds no record anyway).
// `longest` is the longest line from that record on (of all, when there is none): one beyond
// the backward reader's limit is damage.
std::optional<QString> naiveLastRecord(QByteArray bytes, qsizetype& longest) {
    std::optional<QString> found;
    longest = 0;
    for (const QByteArray& line : bytes.replace('\r', '\n').split('\n')) {
        if (line.count(';') >= 6) {
            found = fromWindows1252(line);
            longest = 0;
        }
        longest = std::max(longest, line.size());
    }
    return found;
}

}  // namespace

void checkNumberReading(const std::uint8_t* data, std::size_t size) {
    const QString text = textOf(data, size);
    const auto value = readNumber(text);
    if (value) {
        require(std::isfinite(*value), "a number read is finite");
    }
    if (const auto whole = readInt32(text)) {
        require(value.has_value() && std::fabs(*value - *whole) <= 0.5,
                "rounding moves at most a half");
    }
    if (const auto small = readInt16(text)) {
        require(readInt32(text) == std::optional<std::int32_t>(*small), "16 and 32 bits agree");
    }
    const float f = value ? static_cast<float>(*value) : 0.0f;
    const QString plain = plainNumberText(f);
    require(!plain.isEmpty() && plain.size() <= 16, "plain number text is short");
}

void checkTimeText(const std::uint8_t* data, std::size_t size) {
    if (size == 0) {
        return;
    }
    const int datoLaengde = data[0] % 16;
    const QString text = textOf(data + 1, size - 1);
    const auto hhmm = Tekst_Til_Tid(text, datoLaengde);
    if (!hhmm) {
        return;
    }
    require(*hhmm >= 0, "a time text never reads negative");
    const QString shown = Formater_Tid(*hhmm);
    require(Tekst_Til_Tid(shown, 1000) == hhmm, "a formatted time reads back the same");
    if (const auto ct = Omregn_Til_CT(*hhmm); ct && *hhmm % 100 < 60) {
        require(Omregn_Til_Tid(*ct) == *hhmm, "clock times survive centi-hours and back");
    }
}

void checkLastRecord(const std::uint8_t* data, std::size_t size) {
    static const std::string path = [] {
        char name[] = "/tmp/horalog-fuzz-XXXXXX";
        const int fd = ::mkstemp(name);
        if (fd >= 0) {
            ::close(fd);
        }
        return std::string(name);
    }();
    const QByteArray bytes(reinterpret_cast<const char*>(data), static_cast<qsizetype>(size));
    const QString file = QString::fromStdString(path);
    {
        QFile f(file);
        require(f.open(QIODevice::WriteOnly | QIODevice::Truncate), "the scratch file opens");
        f.write(bytes);
    }
    const auto last = readLastRecordLine(file);
    qsizetype longest = 0;
    const std::optional<QString> expected = naiveLastRecord(bytes, longest);
    if (longest > kLongestLine) {
        require(!last.ok() && last.error().problem == FileProblem::Damaged,
                "an overlong last line is damage");
    } else {
        require(last.ok(), "an ordinary file reads");
        require(*last == expected, "the backward reader finds the last record");
        if (*last) {
            const auto figures = figuresFromLine(**last);
            require(!figures.ok() || figures->has_value(), "seven fields read");
        }
    }
    QFile f(file);
    require(f.open(QIODevice::ReadOnly) && f.readAll() == bytes, "reading never changes the file");
}

void checkStoreText(const std::uint8_t* data, std::size_t size) {
    const std::string_view text(reinterpret_cast<const char*>(data), size);
    const auto hive = parseHive(text, "HKEY_CURRENT_USER");
    if (!hive) {
        return;
    }
    const std::string written = writeHive(*hive, "HKEY_CURRENT_USER");
    const auto again = parseHive(written, "HKEY_CURRENT_USER");
    require(again.has_value(), "what the writer writes, the parser reads");
    require(writeHive(*again, "HKEY_CURRENT_USER") == written, "the store round-trips");
    for (const auto& key : hive->keys) {
        for (const auto& [name, value] : key.values) {
            const HiveKey* k = again->find(key.path);
            require(k != nullptr && findValue(*k, name) != nullptr && *findValue(*k, name) == value,
                    "every value survives a rewrite");
        }
    }
}

}  // namespace horalog::fuzz
