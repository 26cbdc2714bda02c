#include "journal/windows1252.h"

#include <optional>

namespace horalog {

namespace {

// Bytes 80 to 9F; the five bytes Windows leaves undefined map to the control characters of the
// same number so that they survive a round trip.
constexpr char16_t kHigh[32] = {0x20AC, 0x0081, 0x201A, 0x0192, 0x201E, 0x2026, 0x2020, 0x2021,
                                0x02C6, 0x2030, 0x0160, 0x2039, 0x0152, 0x008D, 0x017D, 0x008F,
                                0x0090, 0x2018, 0x2019, 0x201C, 0x201D, 0x2022, 0x2013, 0x2014,
                                0x02DC, 0x2122, 0x0161, 0x203A, 0x0153, 0x009D, 0x017E, 0x0178};

std::optional<char> encodeOne(char16_t u) {
    if (u < 0x80 || (u >= 0xA0 && u <= 0xFF)) {
        return static_cast<char>(u);
    }
    for (int i = 0; i < 32; ++i) {
        if (kHigh[i] == u) {
            return static_cast<char>(0x80 + i);
        }
    }
    return std::nullopt;
}

}  // namespace

QByteArray toWindows1252(const QString& text) {
    QByteArray out;
    out.reserve(text.size());
    for (const QChar c : text) {
        out.append(encodeOne(c.unicode()).value_or('?'));
    }
    return out;
}

QString notInWindows1252(const QString& text) {
    QString missing;
    for (qsizetype i = 0; i < text.size(); ++i) {
        // A character beyond 16 bits is a surrogate pair: both halves together are the character.
        const qsizetype length = text[i].isHighSurrogate() && i + 1 < text.size() ? 2 : 1;
        const QString one = text.mid(i, length);
        if (!encodeOne(text[i].unicode()) && !missing.contains(one)) {
            missing += one;
        }
        i += length - 1;
    }
    return missing;
}

QString fromWindows1252(const QByteArray& bytes) {
    QString out;
    out.reserve(bytes.size());
    for (const char b : bytes) {
        const auto u = static_cast<unsigned char>(b);
        out.append(QChar(u >= 0x80 && u < 0xA0 ? kHigh[u - 0x80] : static_cast<char16_t>(u)));
    }
    return out;
}

}  // namespace horalog
