#pragma once

#include <QString>
#include <QStringView>
#include <cstdint>
#include <optional>

namespace horalog {

struct LunchRule {
    bool aktiv = true;
    std::int16_t varighed = 0;    // centi-hours deducted
    std::int16_t arbejdstid = 0;  // gross time from which the running display deducts
    bool operator==(const LunchRule&) const = default;
};

// The period figures every record carries.
struct Figures {
    std::int16_t dage = 0;
    std::int32_t sum = 0;
    std::int32_t total = 0;
    bool operator==(const Figures&) const = default;
};

// The daily hours in whole centi-hours: 7.4 is 740.
std::int32_t dailyHoursCT(float arbejdstimer);

// Centi-hours to deduct for lunch from t; -1 asks for the deduction whatever the day's length.
std::int32_t Frokost_Fradrag(std::int32_t t, const LunchRule& lunch);

// Today's net worked time from the arrival up to a time text; shift is what the clock's reading
// misses between them (a midnight, a change of daylight saving). Nothing when the text or the
// result cannot be held.
std::optional<std::int32_t> workedSoFar(std::int32_t kommeCT, QStringView text, int datoLaengde,
                                        const LunchRule& lunch, std::int32_t shift = 0);

struct ClosedDay {
    Figures after;
    std::int16_t tid = 0;
};

// Closing a day: one more day, its worked time into the period sum and the balance against the
// daily hours. Nothing when a figure would leave its column's range.
std::optional<ClosedDay> closeDay(const Figures& before, std::int32_t kommeCT, std::int32_t gaaCT,
                                  const LunchRule& lunch, float arbejdstimer,
                                  std::int32_t shift = 0);

// Hours off in lieu: the amount comes off the period sum and the balance.
std::optional<Figures> takeTimeOff(const Figures& before, float amount);

// The period's surplus against the agreed hours, rounded half to even.
std::int64_t periodSurplus(const Figures& figures, float arbejdstimer);

}  // namespace horalog
