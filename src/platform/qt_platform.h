#pragma once

#include <QLocale>

#include "platform/platform.h"

namespace horalog {

// Qt's own texts (the file dialog's buttons and labels) in Danish, whatever the system's
// language: Qt's translation from beside the program (Windows) or from Qt's folder.
bool installDanishQtTranslation();

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
    QDateTime currentDateTime() override;
    std::int64_t millisecondsSinceStart() override;
    QString shortDatePattern() override;
    QChar decimalSeparator() override;
    QString timeWithSeconds(const QTime& time) override;
    bool dialogOpen() override;
    void bringDialogForward() override;
    bool trayAvailable() override;
    void trayMessage(QSystemTrayIcon& icon, const QString& title, const QString& text) override;
    void watchDesktop(QWidget* window, std::function<void(DesktopEvent)> handler) override;

protected:
    [[noreturn]] void end(int status) override;

private:
    bool noUserLocale() const;

    QLocale locale_;
};

}  // namespace horalog
