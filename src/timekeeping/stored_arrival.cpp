#include "timekeeping/stored_arrival.h"

#include <algorithm>

#include "text/time_text.h"

namespace horalog {

std::optional<TypedTime> readTypedTime(const QString& text, int datoLaengde) {
    const auto hhmm = Tekst_Til_Tid(text, datoLaengde);
    const auto ct = hhmm ? Omregn_Til_CT(*hhmm) : std::nullopt;
    if (!ct) {
        return std::nullopt;
    }
    return TypedTime{*hhmm, *ct};
}

StoredArrival StoredArrival::of(const QDate& date, const QString& pattern, std::int32_t ct) {
    return StoredArrival(date.toString(qtDatePattern(pattern)) + QLatin1Char(' ') +
                         Formater_Tid(Omregn_Til_Tid(ct)));
}

bool StoredArrival::holdsArrival() const {
    return !dateText().isEmpty() && !timeText().isEmpty();
}

QString StoredArrival::dateText() const {
    const qsizetype blank = text_.indexOf(QLatin1Char(' '));
    return blank < 0 ? text_ : text_.left(blank);
}

QString StoredArrival::timeText() const {
    const qsizetype blank = text_.indexOf(QLatin1Char(' '));
    return blank < 0 ? QString() : text_.mid(blank + 1).trimmed();
}

std::optional<TypedTime> StoredArrival::time() const {
    // The whole text after the blank: a long one is no time, not its first five characters.
    const QString t = timeText();
    return readTypedTime(t, static_cast<int>(std::min<qsizetype>(t.size(), 1 << 20)));
}

QDate StoredArrival::date(const QString& pattern) const {
    return readDate(dateText(), pattern);
}

StoredArrival::Day StoredArrival::dayAt(const QDate& today, const QString& pattern) const {
    if (!holdsArrival()) {
        return Day::None;
    }
    return dateText() == today.toString(qtDatePattern(pattern)) || date(pattern) == today
               ? Day::Today
               : Day::Other;
}

QString qtDatePattern(QString pattern) {
    for (QChar& c : pattern) {
        if (c == QChar(u'å') || c == QChar(u'Å') || c == QLatin1Char('Y')) {
            c = QLatin1Char('y');
        } else if (c == QLatin1Char('D')) {
            c = QLatin1Char('d');
        }
    }
    return pattern;
}

QDate readDate(const QString& text, const QString& pattern) {
    const QString p = qtDatePattern(pattern);
    QDate date = QDate::fromString(text.trimmed(), p);
    if (date.isValid() && !p.contains(QStringLiteral("yyy")) && date.year() < 2000) {
        // Qt reads "yy" as 19yy.
        const int yy = date.year() % 100;
        date = date.addYears((yy <= 68 ? 2000 + yy : 1900 + yy) - date.year());
    }
    return date;
}

}  // namespace horalog
