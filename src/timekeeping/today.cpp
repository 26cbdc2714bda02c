#include "timekeeping/today.h"

#include <cmath>

#include "text/number_text.h"
#include "text/time_text.h"

namespace horalog {

QString plainCaption() {
    return QStringLiteral("Horalogs registrering");
}

std::optional<TodayTexts> todayTexts(std::int32_t kommeCT, const QString& text, int datoLaengde,
                                     const LunchRule& lunch, std::int32_t shift) {
    const auto net = workedSoFar(kommeCT, text, datoLaengde, lunch, shift);
    if (!net) {
        return std::nullopt;
    }
    TodayTexts t;
    t.ct = ctText(*net);
    t.tm = Formater_Tid(Omregn_Til_Tid(*net)) + QLatin1Char(' ');
    t.caption = plainCaption() + QStringLiteral(" - ") + t.ct;
    return t;
}

BalanceTexts balanceTexts(const Figures& figures, float arbejdstimer) {
    return {ctText(figures.total), ctText(figures.sum),
            ctText(periodSurplus(figures, arbejdstimer))};
}

QString proposedArrival(const QTime& now, std::int64_t uptimeMs) {
    const double seconds = now.hour() * 3600.0 + now.minute() * 60.0 + now.second();
    const double up = static_cast<double>(uptimeMs) / 1000.0;
    const auto start = static_cast<int>(up <= seconds ? std::nearbyint(seconds - up) : 0.0);
    return QStringLiteral("%1:%2")
        .arg(start / 3600, 2, 10, QLatin1Char('0'))
        .arg((start % 3600) / 60, 2, 10, QLatin1Char('0'));
}

bool leavingClearsToday(bool kommeRegistreret, const QString& gaaText) {
    const auto number = readNumber(gaaText);
    return !kommeRegistreret || (number && *number == 0.0);
}

}  // namespace horalog
