#include "timekeeping/balance.h"

#include <cmath>

#include "text/number_text.h"
#include "text/time_text.h"

namespace horalog {

std::int32_t dailyHoursCT(float arbejdstimer) {
    return static_cast<std::int32_t>(std::lround(static_cast<double>(arbejdstimer) * 100.0));
}

std::int32_t Frokost_Fradrag(std::int32_t t, const LunchRule& lunch) {
    if (!lunch.aktiv) {
        return 0;
    }
    if (t >= 0 && t < lunch.arbejdstid) {
        return 0;
    }
    return lunch.varighed;
}

std::optional<std::int32_t> workedSoFar(std::int32_t kommeCT, QStringView text, int datoLaengde,
                                        const LunchRule& lunch, std::int32_t shift) {
    const auto hhmm = Tekst_Til_Tid(text, datoLaengde);
    const auto now = hhmm ? Omregn_Til_CT(*hhmm) : std::nullopt;
    if (!now) {
        return std::nullopt;
    }
    const std::int64_t gross = static_cast<std::int64_t>(*now) - kommeCT + shift;
    if (gross < INT32_MIN || gross > INT32_MAX) {
        return std::nullopt;
    }
    const std::int64_t net = gross - Frokost_Fradrag(static_cast<std::int32_t>(gross), lunch);
    if (net < INT32_MIN) {
        return std::nullopt;
    }
    return static_cast<std::int32_t>(net);
}

namespace {

// The day's worked time as the record counts it: the lunch always deducted while the deduction
// is on, and nothing beyond the record's 16 bits.
std::optional<std::int16_t> dayWorkedTime(std::int32_t kommeCT, std::int32_t gaaCT,
                                          const LunchRule& lunch, std::int32_t shift) {
    const std::int64_t tid =
        static_cast<std::int64_t>(gaaCT) - kommeCT + shift - Frokost_Fradrag(-1, lunch);
    if (tid < INT16_MIN || tid > INT16_MAX) {
        return std::nullopt;
    }
    return static_cast<std::int16_t>(tid);
}

}  // namespace

std::optional<ClosedDay> closeDay(const Figures& before, std::int32_t kommeCT, std::int32_t gaaCT,
                                  const LunchRule& lunch, float arbejdstimer, std::int32_t shift) {
    if (before.dage == INT16_MAX) {
        return std::nullopt;
    }
    const auto tid = dayWorkedTime(kommeCT, gaaCT, lunch, shift);
    if (!tid) {
        return std::nullopt;
    }
    const std::int64_t sum = static_cast<std::int64_t>(before.sum) + *tid;
    // The sum in whole numbers, the daily hours in double precision as the single they are.
    const double total = static_cast<double>(static_cast<std::int64_t>(before.total) + *tid) -
                         static_cast<double>(arbejdstimer) * 100.0;
    const auto roundedTotal = roundToInt32(total);
    if (sum < INT32_MIN || sum > INT32_MAX || !roundedTotal) {
        return std::nullopt;
    }
    ClosedDay day;
    day.tid = *tid;
    day.after = {static_cast<std::int16_t>(before.dage + 1), static_cast<std::int32_t>(sum),
                 *roundedTotal};
    return day;
}

std::optional<Figures> takeTimeOff(const Figures& before, float amount) {
    const auto sum = roundToInt32(static_cast<double>(before.sum) - static_cast<double>(amount));
    const auto total =
        roundToInt32(static_cast<double>(before.total) - static_cast<double>(amount));
    if (!sum || !total) {
        return std::nullopt;
    }
    return Figures{before.dage, *sum, *total};
}

std::int64_t periodSurplus(const Figures& figures, float arbejdstimer) {
    const double surplus =
        static_cast<double>(figures.sum) -
        static_cast<double>(figures.dage) * static_cast<double>(arbejdstimer) * 100.0;
    const double r = std::nearbyint(surplus);
    // Hours are kept within the balances' range, so this only guards absurd settings.
    if (!(r > -9.0e18 && r < 9.0e18)) {
        return 0;
    }
    return static_cast<std::int64_t>(r) == 0 ? 0 : static_cast<std::int64_t>(r);
}

}  // namespace horalog
