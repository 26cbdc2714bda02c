#pragma once

#include <QString>
#include <QStringView>
#include <cstdint>
#include <optional>

#include "text/result.h"

namespace horalog {

// Reads the number a text begins with: blanks, tabs and line feeds ignored wherever they stand,
// an optional sign, digits with "." as the decimal point, an optional exponent (E or D), or a
// whole number after &H or &O. A text without a leading number reads 0. Nothing when the number
// cannot be held at all (a hexadecimal run beyond 32 bits, an exponent beyond a double).
std::optional<double> readNumber(QStringView text);

// Hours as the daily-hours and time-off questions read them; nothing when hours times 100 would
// not fit the balances.
std::optional<double> readHours(QStringView text);

// Rounded to the nearest whole number, a half to the even neighbour; nothing when out of range.
std::optional<std::int32_t> roundToInt32(double value);
std::optional<std::int16_t> roundToInt16(double value);
// readNumber followed by the rounding, as the whole-number settings and fields are read.
std::optional<std::int32_t> readInt32(QStringView text);
std::optional<std::int16_t> readInt16(QStringView text);

// "7.4", "8", ".5": "." as point, seven significant digits, no zero before the point.
QString plainNumberText(float value);
// "7,4", "0,5": the locale's separator, seven significant digits.
QString localeNumberText(float value, QChar decimalSeparator);

// «<what> "<text>" kan ikke anvendes, fordi tallet er for stort.»
QString tooLargeRefusal(const QString& what, const QString& text);

// An answer in hours to the daily-hours or time-off question, with "," read as ".": the hours,
// nothing to do (empty, or a number the question ignores), or failed with the refusal to show.
struct HoursAnswer {
    double hours = 0.0;
    QString text;  // the answer as read, "," turned into "."
};
// what names the amount in a refusal; ignoreBelowZero: a negative answer is nothing to do too.
Result<std::optional<HoursAnswer>> readHoursAnswer(QString answer, const QString& what,
                                                   bool ignoreBelowZero);

}  // namespace horalog
