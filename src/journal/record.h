#pragma once

#include <QString>
#include <cstdint>
#include <optional>

#include "journal/journal_file.h"
#include "text/result.h"
#include "timekeeping/balance.h"

namespace horalog {

QString headerLine();
QString openingRecord(const QString& date, std::int32_t total);
QString dayRecord(const QString& date, const Figures& after, std::int32_t kommeCT,
                  std::int32_t gaaCT, std::int16_t tid);
QString timeOffRecord(const QString& date, const Figures& after, const QString& tidText,
                      const QString& comment);
QString resetRecord(const QString& date, std::int32_t total);

// Why the figures of a last record cannot be used: a figure too large for its column, or one
// that is not a figure at all (a NUL or another stray byte in it, or nothing).
QString lastRecordTooLarge(const QString& line);
QString lastRecordUnreadable(const QString& line);

// Fields 2, 6 and 7 of a record: the day count, the period sum and the balance, read as every
// reader reads them (recordFields, wholeFigure); nothing for a line of fewer than seven fields,
// zeros for the header, failed when one is no figure or cannot be held.
Result<std::optional<Figures>> figuresFromLine(const QString& line);

}  // namespace horalog
