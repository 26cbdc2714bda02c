#include "text/time_text.h"

#include <cstdlib>

#include "text/number_text.h"

namespace horalog {

std::optional<std::int32_t> Tekst_Til_Tid(QStringView text, int datoLaengde) {
    QString used = text.length() >= datoLaengde + 6 ? text.mid(datoLaengde + 1, 5).toString()
                                                    : text.toString();
    used.remove(QLatin1Char('.'));
    used.remove(QLatin1Char(':'));
    used.remove(QLatin1Char('-'));
    // A time text is never negative; only a &H or &O text could read so, and it is no time.
    const auto value = readInt32(used);
    if (value && *value < 0) {
        return std::nullopt;
    }
    return value;
}

QString Formater_Tid(std::int32_t value) {
    QString s = QString::number(value);
    const bool negative = s.startsWith(QLatin1Char('-'));
    while (s.length() < 4) {
        s.insert(negative ? 1 : 0, QLatin1Char('0'));
    }
    s.insert(s.length() - 2, QLatin1Char(':'));
    return s;
}

std::optional<std::int32_t> Omregn_Til_CT(std::int32_t value) {
    const std::int64_t a = std::llabs(static_cast<std::int64_t>(value));
    const std::int64_t h = 100 * (a / 100);
    const std::int64_t m = a - h;
    const std::int64_t result = h + (5 * m + 1) / 3;
    if (result > 2147483647) {
        return std::nullopt;
    }
    return static_cast<std::int32_t>(value < 0 ? -result : result);
}

std::int32_t Omregn_Til_Tid(std::int32_t amount) {
    const std::int64_t a = std::llabs(static_cast<std::int64_t>(amount));
    const std::int64_t h = 100 * (a / 100);
    const std::int64_t k = a - h;
    const std::int64_t result = h + (3 * k + 2) / 5;
    // At most a, so it fits; -2147483648 gives 2147483628 before the sign.
    return static_cast<std::int32_t>(amount < 0 ? -result : result);
}

QString Tid_Nu(const QString& timeWithSeconds) {
    const QString first = timeWithSeconds.left(5);
    if (first.length() == 5 && !first.at(4).isDigit()) {
        return QLatin1Char('0') + first.left(4);
    }
    return first;
}

QString ctText(std::int64_t amount) {
    return QString::number(amount) + QStringLiteral(" ct ");
}

}  // namespace horalog
