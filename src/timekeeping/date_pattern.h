#pragma once

#include <QDate>
#include <QString>
#include <cstdint>

#include "text/message.h"

namespace horalog {

// The short date pattern: its length, whether it has the day first and the year last (a Danish
// pattern may spell the year letters "å"), and the pattern as the refusal names it.
struct DatePattern {
    std::int16_t length = 0;
    bool accepted = false;
    QString shown;
};
DatePattern checkDatePattern(const QString& pattern);
Message datePatternRefusal(const QString& shown);

// The moment as the date in the user's short pattern, a blank and the time with seconds.
QString dateTimeText(const QDate& date, const QString& pattern, const QString& timeWithSeconds);

}  // namespace horalog
