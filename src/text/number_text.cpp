#include "text/number_text.h"

#include <charconv>
#include <cmath>
#include <string>

namespace horalog {

namespace {

bool isDigit(char c) {
    return c >= '0' && c <= '9';
}

std::optional<double> readPrefixedWhole(const std::string& s, std::size_t i, int base) {
    std::uint64_t value = 0;
    for (; i < s.size(); ++i) {
        int digit = -1;
        const char c = s[i];
        if (isDigit(c)) {
            digit = c - '0';
        } else if (base == 16 && c >= 'a' && c <= 'f') {
            digit = c - 'a' + 10;
        } else if (base == 16 && c >= 'A' && c <= 'F') {
            digit = c - 'A' + 10;
        }
        if (digit < 0 || digit >= base) {
            break;
        }
        value = value * static_cast<std::uint64_t>(base) + static_cast<std::uint64_t>(digit);
        if (value > 0xFFFFFFFFull) {
            return std::nullopt;
        }
    }
    // Up to four hex digits' worth is a 16-bit number, as the original reader took it.
    if (value <= 0xFFFFull) {
        return static_cast<double>(static_cast<std::int16_t>(static_cast<std::uint16_t>(value)));
    }
    return static_cast<double>(static_cast<std::int32_t>(static_cast<std::uint32_t>(value)));
}

// Seven significant digits, exponent only where the original wrote one ("1E+10"). to_chars
// never looks at the C library's locale, which Qt sets from the environment: "%G" wrote "7,4"
// on a Danish system, and that reads back as 7.
std::string sevenDigits(float value) {
    if (value == 0.0f || !std::isfinite(value)) {
        return "0";
    }
    char buffer[64];
    const auto [end, error] = std::to_chars(
        buffer, buffer + sizeof buffer, static_cast<double>(value), std::chars_format::general, 7);
    if (error != std::errc()) {
        return "0";
    }
    std::string s(buffer, end);
    for (char& c : s) {
        if (c == 'e') {
            c = 'E';
        }
    }
    return s;
}

}  // namespace

std::optional<double> readNumber(QStringView text) {
    std::string s;
    s.reserve(static_cast<std::size_t>(text.size()));
    for (const QChar ch : text) {
        const char16_t u = ch.unicode();
        if (u == u' ' || u == u'\t' || u == u'\n') {
            continue;
        }
        s += u < 0x80 ? static_cast<char>(u) : '\x7f';  // any other letter ends the number
    }
    std::size_t i = 0;
    if (s.size() >= 2 && s[0] == '&') {
        if (s[1] == 'h' || s[1] == 'H') {
            return readPrefixedWhole(s, 2, 16);
        }
        if (s[1] == 'o' || s[1] == 'O') {
            return readPrefixedWhole(s, 2, 8);
        }
        return 0.0;
    }
    std::string number;
    if (i < s.size() && (s[i] == '+' || s[i] == '-')) {
        if (s[i] == '-') {
            number += '-';
        }
        ++i;
    }
    std::size_t digits = 0;
    for (; i < s.size() && isDigit(s[i]); ++i, ++digits) {
        number += s[i];
    }
    if (i < s.size() && s[i] == '.') {
        number += '.';
        for (++i; i < s.size() && isDigit(s[i]); ++i, ++digits) {
            number += s[i];
        }
    }
    if (digits == 0) {
        return 0.0;
    }
    bool negativeExponent = false;
    if (i < s.size() && (s[i] == 'e' || s[i] == 'E' || s[i] == 'd' || s[i] == 'D')) {
        std::size_t j = i + 1;
        std::string exponent = "e";
        if (j < s.size() && (s[j] == '+' || s[j] == '-')) {
            negativeExponent = s[j] == '-';
            exponent += s[j++];
        }
        if (j < s.size() && isDigit(s[j])) {
            for (; j < s.size() && isDigit(s[j]); ++j) {
                exponent += s[j];
            }
            number += exponent;
        }
    }
    double value = 0.0;
    const char* first = number.data();
    if (*first == '.') {
        number.insert(number.begin(), '0');
        first = number.data();
    }
    const auto [end, error] = std::from_chars(first, number.data() + number.size(), value);
    (void)end;
    if (error == std::errc::result_out_of_range) {
        if (negativeExponent) {
            return 0.0;  // too small to matter
        }
        // A zero mantissa is zero whatever the exponent.
        if (number.find_first_of("123456789") >= number.find('e')) {
            return 0.0;
        }
        return std::nullopt;
    }
    if (error != std::errc() || !std::isfinite(value)) {
        return std::nullopt;
    }
    return value;
}

std::optional<double> readHours(QStringView text) {
    const auto value = readNumber(text);
    if (!value || std::fabs(*value * 100.0) > 2147483647.0) {
        return std::nullopt;
    }
    return value;
}

std::optional<std::int32_t> roundToInt32(double value) {
    const double r = std::nearbyint(value);
    if (!(r >= -2147483648.0 && r <= 2147483647.0)) {
        return std::nullopt;
    }
    return static_cast<std::int32_t>(r);
}

std::optional<std::int16_t> roundToInt16(double value) {
    const double r = std::nearbyint(value);
    if (!(r >= -32768.0 && r <= 32767.0)) {
        return std::nullopt;
    }
    return static_cast<std::int16_t>(r);
}

std::optional<std::int32_t> readInt32(QStringView text) {
    const auto v = readNumber(text);
    return v ? roundToInt32(*v) : std::nullopt;
}

std::optional<std::int16_t> readInt16(QStringView text) {
    const auto v = readNumber(text);
    return v ? roundToInt16(*v) : std::nullopt;
}

QString plainNumberText(float value) {
    std::string s = sevenDigits(value);
    if (s.rfind("0.", 0) == 0) {
        s.erase(0, 1);
    } else if (s.rfind("-0.", 0) == 0) {
        s.erase(1, 1);
    }
    return QString::fromStdString(s);
}

QString localeNumberText(float value, QChar decimalSeparator) {
    QString s = QString::fromStdString(sevenDigits(value));
    s.replace(QLatin1Char('.'), decimalSeparator);
    return s;
}

QString tooLargeRefusal(const QString& what, const QString& text) {
    return QStringLiteral("%1 \"%2\" kan ikke anvendes, fordi tallet er for stort.")
        .arg(what, text);
}

Result<std::optional<HoursAnswer>> readHoursAnswer(QString answer, const QString& what,
                                                   bool ignoreBelowZero) {
    using Answer = Result<std::optional<HoursAnswer>>;
    answer.replace(QLatin1Char(','), QLatin1Char('.'));
    if (answer.isEmpty()) {
        return std::optional<HoursAnswer>();
    }
    if (const auto number = readNumber(answer);
        number && (*number == 0.0 || (ignoreBelowZero && *number < 0.0))) {
        return std::optional<HoursAnswer>();
    }
    const auto hours = readHours(answer);
    if (!hours) {
        return Answer::failed(tooLargeRefusal(what, answer));
    }
    return std::optional(HoursAnswer{*hours, answer});
}

}  // namespace horalog
