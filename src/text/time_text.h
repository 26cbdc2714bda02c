#pragma once

#include <QString>
#include <QStringView>
#include <cstdint>
#include <optional>

namespace horalog {

// Time text («08:05») to an hhmm value (805). The time part of a date-time text is found at
// datoLaengde + 2. Nothing when the digits cannot be held in 32 bits (or read negative).
std::optional<std::int32_t> Tekst_Til_Tid(QStringView text, int datoLaengde);

// hhmm value to time text: 805 is «08:05», -5 is «-0:05».
QString Formater_Tid(std::int32_t value);

// hhmm value to centi-hours: 805 is 808. Nothing for the few values whose result passes 32 bits.
std::optional<std::int32_t> Omregn_Til_CT(std::int32_t value);

// Centi-hours to an hhmm value: 808 is 805.
std::int32_t Omregn_Til_Tid(std::int32_t amount);

// The first five characters of the time of day with seconds, with a leading zero added when the
// hour has one digit.
QString Tid_Nu(const QString& timeWithSeconds);

// The display form of centi-hours on the value labels: «800 ct ».
QString ctText(std::int64_t amount);

}  // namespace horalog
