#pragma once

#include <QDate>
#include <QString>
#include <cstdint>
#include <optional>

namespace horalog {

// A typed arrival or departure: its hh:mm value and centi-hours; nothing when it cannot be held.
struct TypedTime {
    std::int32_t hhmm = 0;
    std::int32_t ct = 0;
};
std::optional<TypedTime> readTypedTime(const QString& text, int datoLaengde);

// "Moedt" as stored: the arrival's date in the user's short pattern, a blank and its time
// «08:15»; a single blank once the day is closed. The parts are told apart by the blank, never by
// the pattern's length, so a changed date format never moves the time. The moments kept as
// "SidstAktiv" have the same form.
class StoredArrival {
public:
    StoredArrival() = default;
    explicit StoredArrival(const QString& stored) : text_(stored) {}
    // As registering writes it: the date in the pattern and the time as a clock shows it.
    static StoredArrival of(const QDate& date, const QString& pattern, std::int32_t ct);

    const QString& text() const { return text_; }
    // A date, a blank and a time; «08.1.26 8:00» holds one too.
    bool holdsArrival() const;
    QString dateText() const;
    QString timeText() const;
    // The date as the pattern reads it; invalid when it cannot.
    QDate date(const QString& pattern) const;
    std::optional<TypedTime> time() const;

    // Whether it is an arrival of today's, of another day (or of a date the pattern cannot read),
    // or none.
    enum class Day { None, Today, Other };
    Day dayAt(const QDate& today, const QString& pattern) const;

    bool operator==(const StoredArrival&) const = default;

private:
    QString text_;
};

// The user's short date pattern as Qt reads it: Qt knows the day and year letters in lower case
// only, and a Danish pattern may spell the year letters "å".
QString qtDatePattern(QString pattern);

// A date text in the user's short pattern; a two-digit year is read as POSIX strptime reads it
// (00-68 this century, 69-99 the last). Invalid when the pattern cannot read it.
QDate readDate(const QString& text, const QString& pattern);

}  // namespace horalog
