#pragma once

#include <QLocale>

#include "platform/clock.h"
#include "platform/platform.h"

namespace horalog {

// The real dialogs, clock and locale.
class QtPlatform : public Platform {
public:
    QtPlatform();
    // For tests: a locale other than the system's.
    explicit QtPlatform(const QLocale& locale);

    using Platform::ask;
    MessageAnswer ask(QWidget* parent, const Message& message) override;
    std::optional<QString> input(QWidget* parent, const InputRequest& request) override;
    std::optional<QString> chooseFile(QWidget* parent, const FileDialogRequest& request) override;
    QDateTime currentDateTime() override { return clock_.currentDateTime(); }
    std::int64_t millisecondsSinceStart() override { return clock_.millisecondsSinceStart(); }
    QString shortDatePattern() override { return clock_.shortDatePattern(); }
    QChar decimalSeparator() override { return clock_.decimalSeparator(); }
    QString timeWithSeconds(const QTime& time) override { return clock_.timeWithSeconds(time); }
    bool dialogOpen() override;
    void bringDialogForward() override;
    bool trayAvailable() override;
    void trayMessage(QSystemTrayIcon& icon, const QString& title, const QString& text) override;
    void watchDesktop(QWidget* window, std::function<void(DesktopEvent)> handler) override;

protected:
    [[noreturn]] void end(int status) override;

private:
    SystemClock clock_;
};

}  // namespace horalog
