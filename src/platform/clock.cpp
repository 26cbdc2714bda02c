#include "platform/clock.h"

#include <QCoreApplication>
#include <QLibraryInfo>
#include <QTranslator>

#include "platform/uptime.h"

namespace horalog {

bool installDanishQtTranslation() {
    auto* translator = new QTranslator(QCoreApplication::instance());
    for (const QString& folder :
         {QCoreApplication::applicationDirPath(),
          QCoreApplication::applicationDirPath() + QStringLiteral("/translations"),
          QLibraryInfo::path(QLibraryInfo::TranslationsPath)}) {
        if (translator->load(QStringLiteral("qtbase_da"), folder)) {
            return QCoreApplication::installTranslator(translator);
        }
    }
    delete translator;
    return false;
}

SystemClock::SystemClock() : locale_(QLocale::system()) {}

SystemClock::SystemClock(const QLocale& locale) : locale_(locale) {}

QDateTime SystemClock::currentDateTime() {
    return QDateTime::currentDateTime();
}

std::int64_t SystemClock::millisecondsSinceStart() {
    return systemUptimeMilliseconds();
}

bool SystemClock::noUserLocale() const {
    return locale_.language() == QLocale::C;
}

QString SystemClock::shortDatePattern() {
    // Without a user locale the program keeps to Danish conventions.
    return noUserLocale() ? QStringLiteral("dd-MM-yyyy") : locale_.dateFormat(QLocale::ShortFormat);
}

QChar SystemClock::decimalSeparator() {
    if (noUserLocale()) {
        return QLatin1Char(',');
    }
    const QString separator = locale_.decimalPoint();
    return separator.isEmpty() ? QLatin1Char(',') : separator.front();
}

QString SystemClock::timeWithSeconds(const QTime& time) {
    if (noUserLocale()) {
        return time.toString(QStringLiteral("HH:mm:ss"));
    }
    // The locale's own separator, 24-hour, with seconds.
    const QString format = locale_.timeFormat(QLocale::ShortFormat);
    QChar separator = QLatin1Char(':');
    for (const QChar c : format) {
        if (!c.isLetter()) {
            separator = c;
            break;
        }
    }
    const QString hours =
        format.startsWith(QStringLiteral("HH")) || format.startsWith(QStringLiteral("hh"))
            ? QStringLiteral("HH")
            : QStringLiteral("H");
    return time.toString(hours + separator + QStringLiteral("mm") + separator +
                         QStringLiteral("ss"));
}

}  // namespace horalog
