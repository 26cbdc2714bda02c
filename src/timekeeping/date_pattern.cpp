#include "timekeeping/date_pattern.h"

#include "timekeeping/stored_arrival.h"

namespace horalog {

DatePattern checkDatePattern(const QString& pattern) {
    DatePattern p;
    p.length = static_cast<std::int16_t>(std::min<qsizetype>(pattern.length(), 32767));
    p.shown = pattern;
    p.shown.replace(QChar(u'å'), QLatin1Char('y'));
    p.shown.replace(QChar(u'Å'), QLatin1Char('y'));
    p.accepted = p.shown.left(2).compare(QStringLiteral("dd"), Qt::CaseInsensitive) == 0 &&
                 p.shown.right(2).compare(QStringLiteral("yy"), Qt::CaseInsensitive) == 0;
    return p;
}

Message datePatternRefusal(const QString& shown) {
#ifdef _WIN32
    const QString where = QStringLiteral("Rettes via kontrol panelet og regionale indstillinger.");
#else
    // A Linux desktop has no such panel: the format comes from LC_TIME.
    const QString where = QStringLiteral(
        "Rettes ved at sætte LC_TIME til en dansk sprogindstilling, f.eks. LC_TIME=da_DK.UTF-8.");
#endif
    return notice(QStringLiteral("Fejl i dato format"),
                  QStringLiteral("Ulovlig dato-format: ") + shown +
                      QStringLiteral(
                          "\r\nDer skal anvendes dansk notation med dagen først og årstallet sidst."
                          "\r\n(dd-mm-yy eller dd-mm-yyyy)\r\n") +
                      where,
                  MessageIcon::Critical);
}

QString dateTimeText(const QDate& date, const QString& pattern, const QString& timeWithSeconds) {
    return date.toString(qtDatePattern(pattern)) + QLatin1Char(' ') + timeWithSeconds;
}

}  // namespace horalog
