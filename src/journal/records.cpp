#include "journal/records.h"

#include <QFile>
#include <cstring>
#include <limits>
#include <optional>
#include <vector>

#include "journal/journal_file.h"
#include "journal/windows1252.h"
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

// Nearly every figure is a plain whole number (a sign, at most 15 digits: exact in a double),
// read here without making a string; anything else goes to readNumber itself.
std::optional<std::int64_t> wholeOf(std::string_view field) {
    std::size_t i = !field.empty() && (field[0] == '-' || field[0] == '+') ? 1 : 0;
    if (field.size() - i > 15) {
        return std::nullopt;
    }
    std::int64_t v = 0;
    for (; i < field.size(); ++i) {
        const auto digit = static_cast<unsigned char>(field[i] - '0');
        if (digit > 9) {
            return std::nullopt;
        }
        v = v * 10 + digit;
    }
    return field.starts_with('-') ? -v : v;
}

template <typename T>
std::optional<T> fitting(std::int64_t v) {
    if (v < std::numeric_limits<T>::min() || v > std::numeric_limits<T>::max()) {
        return std::nullopt;
    }
    return static_cast<T>(v);
}

QString textOf(std::string_view field) {
    return fromWindows1252(
        QByteArray::fromRawData(field.data(), static_cast<qsizetype>(field.size())));
}

// As figuresFromLine reads the figures.
std::optional<std::int16_t> int16Of(std::string_view field) {
    const auto v = wholeOf(field);
    return v ? fitting<std::int16_t>(*v) : readInt16(textOf(field));
}
std::optional<std::int32_t> int32Of(std::string_view field) {
    const auto v = wholeOf(field);
    return v ? fitting<std::int32_t>(*v) : readInt32(textOf(field));
}

// The hours a time-off record took, with its decimal comma; nothing when they do not fit.
std::optional<std::int32_t> timeOffOf(std::string_view tid) {
    if (const auto v = wholeOf(tid)) {
        return fitting<std::int32_t>(-*v);
    }
    QString text = textOf(tid);
    return roundToInt32(
        -readNumber(text.replace(QLatin1Char(','), QLatin1Char('.'))).value_or(0.0));
}

// «08:00», «8.05»: minutes after midnight; -1 when it is no clock time.
int clockMinutes(std::string_view field) {
    int hours = 0;
    int minutes = 0;
    std::size_t i = 0;
    for (; i < field.size() && i < 2 && isDigit(field[i]); ++i) {
        hours = hours * 10 + (field[i] - '0');
    }
    if (i == 0 || i + 3 != field.size() || (field[i] != ':' && field[i] != '.') ||
        !isDigit(field[i + 1]) || !isDigit(field[i + 2])) {
        return -1;
    }
    minutes = (field[i + 1] - '0') * 10 + (field[i + 2] - '0');
    return hours < 24 && minutes < 60 ? hours * 60 + minutes : -1;
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

// The fields split and the figures read as figuresFromLine does, on the bytes where they lie.
void RecordReader::addLine(std::string_view line) {
    ++lineNumber_;
    std::string_view f[8];
    std::size_t fields = 0;
    for (std::size_t i = 0, start = 0; fields < 8; ++i) {
        if (i == line.size() || line[i] == ';') {
            f[fields++] = line.substr(start, i - start);
            if (i == line.size()) {
                break;
            }
            start = i + 1;
        }
    }
    if (fields < 7 || line.starts_with("dato;")) {
        return;
    }
    const auto dage = int16Of(f[1]);
    const auto sum = int32Of(f[5]);
    const auto total = int32Of(f[6]);
    Entry e;
    const RecordDate date = recordDate(f[0]);
    e.month = date.month;
    e.date = date.date;
    const auto timeOff = timeOffOf(f[4]);
    if (!dage || !sum || !total || date.month == 0 || !timeOff) {
        unreadable_ << QString::number(lineNumber_);
        return;
    }
    e.dage = *dage;
    e.sum = *sum;
    e.total = *total;
    if (fields > 7 && *dage == 0 && f[2] == "-" && f[3] == "-" && f[4] == "-" && *sum == 0) {
        e.kind = Entry::Kind::Reset;
    } else if (f[2] != "-") {
        e.kind = Entry::Kind::Work;
        e.arrival = clockMinutes(f[2]);
        e.departure = clockMinutes(f[3]);
        e.worked = int32Of(f[4]).value_or(0);
    } else if (f[4] != "-") {
        e.kind = Entry::Kind::TimeOff;
        e.worked = *timeOff;
    }
    add_(e);
}

// Large reads, each line handed over where it lies in the buffer: the file goes at the disk's
// pace in a megabyte of memory, more only for a line longer than that.
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
    // A line ends at LF (after a CR or not); a CR alone ends one too, as an old editor wrote.
    const auto add = [&addLine](const char* begin, const char* end) {
        while (end != begin && end[-1] == '\r') {
            --end;
        }
        for (const char* cr; (cr = static_cast<const char*>(
                                  std::memchr(begin, '\r', static_cast<std::size_t>(end - begin))));
             begin = cr + 1) {
            addLine(std::string_view(begin, static_cast<std::size_t>(cr - begin)));
        }
        addLine(std::string_view(begin, static_cast<std::size_t>(end - begin)));
    };
    std::vector<char> buffer(std::size_t{1} << 20);
    std::size_t held = 0;
    qint64 done = 0;
    for (;;) {
        if (held == buffer.size()) {
            buffer.resize(buffer.size() * 2);
        }
        const qint64 read =
            file.read(buffer.data() + held, static_cast<qint64>(buffer.size() - held));
        if (read < 0) {
            return FileOutcome::failed({FileProblem::Failed, fileErrorText(file)});
        }
        if (read == 0) {
            break;
        }
        const char* line = buffer.data();
        const char* const end = line + held + static_cast<std::size_t>(read);
        for (const char* lf; (lf = static_cast<const char*>(
                                  std::memchr(line, '\n', static_cast<std::size_t>(end - line))));
             line = lf + 1) {
            add(line, lf);
        }
        held = static_cast<std::size_t>(end - line);
        std::memmove(buffer.data(), line, held);
        if (progress && !progress(done += read, size)) {
            return FileOutcome::failed({});  // stopped: nothing to tell
        }
    }
    if (held > 0) {
        add(buffer.data(), buffer.data() + held);
    }
    return {};
}

}  // namespace horalog
