#pragma once

#include <QDateTime>
#include <QLocale>
#include <QString>
#include <cstdint>

namespace horalog {

// The clock and the user's date, number and time conventions: everything that reads the time
// asks here, the window and the command line alike, so a test can set it.
class Clock {
public:
    virtual ~Clock() = default;

    virtual QDateTime currentDateTime() = 0;
    virtual std::int64_t millisecondsSinceStart() = 0;

    virtual QString shortDatePattern() = 0;
    virtual QChar decimalSeparator() = 0;
    // The time of day with seconds in the user's format, 24-hour.
    virtual QString timeWithSeconds(const QTime& time) = 0;
};

// The machine's clock and the system's locale; Qt Core only.
class SystemClock : public Clock {
public:
    SystemClock();
    // For tests: a locale other than the system's.
    explicit SystemClock(const QLocale& locale);

    QDateTime currentDateTime() override;
    std::int64_t millisecondsSinceStart() override;
    QString shortDatePattern() override;
    QChar decimalSeparator() override;
    QString timeWithSeconds(const QTime& time) override;

private:
    bool noUserLocale() const;

    QLocale locale_;
};

// Qt's own texts (the file dialog's buttons and labels, the option parser's errors) in Danish,
// whatever the system's language: Qt's translation from beside the program (Windows) or from
// Qt's folder.
bool installDanishQtTranslation();

}  // namespace horalog
