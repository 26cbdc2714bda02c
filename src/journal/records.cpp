#include "journal/records.h"

#include <QFile>
#include <QLocale>
#include <algorithm>
#include <cstring>
#include <limits>
#include <optional>
#include <string>
#include <vector>

#include "journal/journal_file.h"
#include "platform/file_sync.h"
#include "text/number_text.h"

namespace horalog {

namespace {

bool isDigit(char c) {
    return c >= '0' && c <= '9';
}

// The blanks a date may have around it: space, tab, and line feed to carriage return.
bool isBlank(char c) {
    return c == ' ' || (c >= '\t' && c <= '\r');
}

// «7.099.980»: the count of a message, grouped as a Danish reader expects whatever the locale.
QString danishNumber(qint64 n) {
    return QLocale(QLocale::Danish, QLocale::Denmark).toString(n);
}

// Enough of an overlong line to tell that it is one.
constexpr std::size_t kKept = static_cast<std::size_t>(kLongestLine) + 1;

// Beyond every column's range, so that a figure too large stays too large.
constexpr std::int64_t kBeyondAnyColumn = std::int64_t{1} << 40;

template <typename T>
std::optional<T> fitting(std::int64_t v) {
    if (v < std::numeric_limits<T>::min() || v > std::numeric_limits<T>::max()) {
        return std::nullopt;
    }
    return static_cast<T>(v);
}

// The hours a time-off record took, as the program writes them: the negated amount with a
// decimal comma (or point) and, for amounts beyond seven digits, an exponent. Nothing when the
// field is not such a number or the amount does not fit.
std::optional<std::int32_t> timeOffOf(std::string_view tid) {
    if (const auto v = wholeFigure(tid)) {
        return fitting<std::int32_t>(-*v);
    }
    std::size_t i = !tid.empty() && (tid[0] == '-' || tid[0] == '+') ? 1 : 0;
    const auto digits = [&tid, &i] {
        const std::size_t start = i;
        while (i < tid.size() && isDigit(tid[i])) {
            ++i;
        }
        return i > start;
    };
    if (!digits()) {
        return std::nullopt;
    }
    const auto skip = [&tid, &i](char a, char b) {
        const bool found = i < tid.size() && (tid[i] == a || tid[i] == b);
        i += found ? 1 : 0;
        return found;
    };
    if (skip(',', '.') && !digits()) {
        return std::nullopt;
    }
    if (skip('E', 'e')) {
        skip('-', '+');
        if (!digits()) {
            return std::nullopt;
        }
    }
    if (i != tid.size()) {
        return std::nullopt;
    }
    QByteArray text(tid.data(), static_cast<qsizetype>(tid.size()));
    return roundToInt32(-text.replace(',', '.').toDouble());
}

// «08:00», «8.05», and a spreadsheet's «08:00:00»: minutes after midnight (seconds dropped);
// -1 when it is no clock time.
int clockMinutes(std::string_view field) {
    const auto twoDigits = [&field](std::size_t at) {
        return at + 2 <= field.size() && isDigit(field[at]) && isDigit(field[at + 1])
                   ? (field[at] - '0') * 10 + (field[at + 1] - '0')
                   : -1;
    };
    int hours = 0;
    std::size_t i = 0;
    for (; i < field.size() && i < 2 && isDigit(field[i]); ++i) {
        hours = hours * 10 + (field[i] - '0');
    }
    if (i == 0 || i == field.size() || (field[i] != ':' && field[i] != '.')) {
        return -1;
    }
    const int minutes = twoDigits(i + 1);
    if (field.size() == i + 6 && field[i + 3] == ':') {
        if (twoDigits(i + 4) < 0 || twoDigits(i + 4) > 59) {
            return -1;
        }
    } else if (field.size() != i + 3) {
        return -1;
    }
    return hours < 24 && minutes >= 0 && minutes < 60 ? hours * 60 + minutes : -1;
}

}  // namespace

RecordDate recordDate(std::string_view date) {
    std::size_t i = 0;
    // The count of the digits at i, and their value while there are at most four.
    const auto digits = [&date, &i](int& value) {
        const std::size_t start = i;
        for (value = 0; i < date.size() && isDigit(date[i]); ++i) {
            value = i - start < 4 ? value * 10 + (date[i] - '0') : value;
        }
        return i - start;
    };
    const auto separator = [&date, &i] {
        const std::size_t start = i;
        while (i < date.size() && !isDigit(date[i])) {
            ++i;
        }
        return i > start;
    };
    const auto blanks = [&date, &i] {
        while (i < date.size() && isBlank(date[i])) {
            ++i;
        }
    };
    int day = 0;
    int month = 0;
    int year = 0;
    blanks();
    const std::size_t dayLength = digits(day);
    if (dayLength < 1 || dayLength > 2 || !separator()) {
        return {};
    }
    const std::size_t monthLength = digits(month);
    if (monthLength < 1 || monthLength > 2 || month < 1 || month > 12 || !separator()) {
        return {};
    }
    const std::size_t yearLength = digits(year);
    blanks();
    if (yearLength < 2 || yearLength > 4 || i != date.size()) {
        return {};
    }
    if (yearLength == 2) {
        year += year < 69 ? 2000 : 1900;
    }
    return {year * 100 + month, QDate(year, month, day)};
}

RecordFields recordFields(std::string_view line) {
    if (line.starts_with("\xEF\xBB\xBF")) {
        line.remove_prefix(3);
    }
    RecordFields r;
    for (std::size_t i = 0, start = 0; r.count < 8; ++i) {
        if (i == line.size() || line[i] == ';') {
            std::string_view f = line.substr(start, i - start);
            if (f.size() >= 2 && f.front() == '"' && f.back() == '"') {
                f = f.substr(1, f.size() - 2);
            }
            r.field[r.count++] = f;
            if (i == line.size()) {
                break;
            }
            start = i + 1;
        }
    }
    return r;
}

std::optional<std::int64_t> wholeFigure(std::string_view field) {
    const bool negative = field.starts_with('-');
    std::size_t i = negative || field.starts_with('+') ? 1 : 0;
    if (i == field.size()) {
        return std::nullopt;
    }
    std::int64_t v = 0;
    for (; i < field.size(); ++i) {
        if (!isDigit(field[i])) {
            return std::nullopt;
        }
        v = std::min(v * 10 + (field[i] - '0'), kBeyondAnyColumn);
    }
    return negative ? -v : v;
}

void UnreadableLines::add(qint64 line) {
    if (first_.size() < kNamed) {
        first_.push_back(line);
    }
    ++count_;
}

QStringList unreadableMessages(const UnreadableLines& lines) {
    QStringList messages;
    for (const qint64 line : lines.first()) {
        messages << QStringLiteral("Linje %1 kan ikke læses og er sprunget over.").arg(line);
    }
    if (const qint64 more = lines.count() - static_cast<qint64>(lines.first().size()); more > 0) {
        messages << QStringLiteral("… og %1 %2 mere")
                        .arg(danishNumber(more),
                             more == 1 ? QStringLiteral("linje") : QStringLiteral("linjer"));
    }
    return messages;
}

QString unreadableNote(const UnreadableLines& lines) {
    if (lines.count() == 0) {
        return {};
    }
    if (lines.count() == 1) {
        return QStringLiteral("1 linje i registreringsfilen kunne ikke læses (linje %1).")
            .arg(lines.first().front());
    }
    return QStringLiteral("%1 linjer i registreringsfilen kunne ikke læses (første: linje %2).")
        .arg(danishNumber(lines.count()))
        .arg(lines.first().front());
}

// The fields split and the figures read as figuresFromLine does, on the bytes where they lie.
void RecordReader::addLine(std::string_view line) {
    ++lineNumber_;
    if (line.size() > static_cast<std::size_t>(kLongestLine)) {
        unreadable_.add(lineNumber_);
        return;
    }
    const RecordFields r = recordFields(line);
    if (r.count < 7 || r.isHeader()) {
        return;
    }
    const std::string_view* f = r.field;
    const auto dage = wholeFigure(f[1]);
    const auto sum = wholeFigure(f[5]);
    const auto total = wholeFigure(f[6]);
    const RecordDate date = recordDate(f[0]);
    Entry e;
    e.month = date.month;
    e.date = date.date;
    const auto fit = [&e, &dage, &sum, &total] {
        const auto d = fitting<std::int16_t>(*dage);
        const auto s = fitting<std::int32_t>(*sum);
        const auto t = fitting<std::int32_t>(*total);
        if (!d || !s || !t) {
            return false;
        }
        e.dage = *d;
        e.sum = *s;
        e.total = *t;
        return true;
    };
    bool readable = dage && sum && total && date.month != 0 && fit();
    if (readable && r.count > 7 && !f[7].empty() && e.dage == 0 && f[2] == "-" && f[3] == "-" &&
        f[4] == "-" && e.sum == 0) {
        e.kind = Entry::Kind::Reset;
    } else if (readable && f[2] != "-") {
        e.kind = Entry::Kind::Work;
        e.arrival = clockMinutes(f[2]);
        e.departure = clockMinutes(f[3]);
        // An arrival alone has no time; one too large for its column counts none.
        const auto tid = f[4] == "-" ? std::optional<std::int64_t>(0) : wholeFigure(f[4]);
        readable = tid.has_value();
        e.worked = tid ? fitting<std::int32_t>(*tid).value_or(0) : 0;
    } else if (readable && f[4] != "-") {
        e.kind = Entry::Kind::TimeOff;
        const auto amount = timeOffOf(f[4]);
        readable = amount.has_value();
        e.worked = amount.value_or(0);
    }
    if (!readable) {
        unreadable_.add(lineNumber_);
        return;
    }
    add_(e);
}

// Large reads, each line handed over where it lies in the buffer: the file goes at the disk's
// pace in a megabyte of memory. Only a line that runs on past a read is carried to the next, and
// of it no more than tells that it is longer than any record.
FileOutcome readFileLines(const QString& path, const std::function<void(std::string_view)>& addLine,
                          const std::function<bool(qint64, qint64)>& progress) {
    // A FIFO at the file's place would hold the reading, and whoever waits for it, for ever.
    if (registrationPathKind(path) == PathKind::NotRegular) {
        return FileOutcome::failed({FileProblem::NotRegular, notRegularText()});
    }
    QFile file(path);
    if (!file.open(QIODevice::ReadOnly | QIODevice::Unbuffered)) {
        return FileOutcome::failed(
            {file.exists() ? FileProblem::Failed : FileProblem::Missing, fileErrorText(file)});
    }
    const qint64 size = file.size();
    std::vector<char> buffer(std::size_t{1} << 20);
    std::string carried;   // the start of a line begun in an earlier read
    bool afterCr = false;  // the last byte was a CR, which ended a line: a LF next ends none
    const auto carry = [&carried](const char* begin, std::size_t length) {
        carried.append(begin, std::min(length, kKept - std::min(kKept, carried.size())));
    };
    qint64 done = 0;
    for (;;) {
        const qint64 read = file.read(buffer.data(), static_cast<qint64>(buffer.size()));
        if (read < 0) {
            return FileOutcome::failed({FileProblem::Failed, fileErrorText(file)});
        }
        if (read == 0) {
            break;
        }
        const char* const data = buffer.data();
        const std::size_t end = static_cast<std::size_t>(read);
        // The next LF and the next CR at or after `at`, each looked for once per read.
        std::size_t lf = 0;
        std::size_t cr = 0;
        const auto next = [data, end](std::size_t from, char c) {
            const void* found = std::memchr(data + from, c, end - from);
            return found ? static_cast<std::size_t>(static_cast<const char*>(found) - data) : end;
        };
        lf = next(0, '\n');
        cr = next(0, '\r');
        for (std::size_t at = 0; at < end;) {
            if (lf < at) {
                lf = next(at, '\n');
            }
            if (cr < at) {
                cr = next(at, '\r');
            }
            const std::size_t lineEnd = std::min(lf, cr);
            if (lineEnd > at) {
                afterCr = false;
            }
            if (lineEnd == end) {
                carry(data + at, end - at);
                break;
            }
            if (!(afterCr && data[lineEnd] == '\n')) {
                if (carried.empty()) {
                    addLine(std::string_view(data + at, std::min(lineEnd - at, kKept)));
                } else {
                    carry(data + at, lineEnd - at);
                    addLine(carried);
                    carried.clear();
                }
            }
            afterCr = data[lineEnd] == '\r';
            at = lineEnd + 1;
        }
        if (progress && !progress(done += read, size)) {
            return FileOutcome::failed({});  // stopped: nothing to tell
        }
    }
    if (!carried.empty()) {
        addLine(carried);
    }
    return {};
}

}  // namespace horalog
