#pragma once

#include <QDateTime>
#include <QString>
#include <QStringList>
#include <cstdint>
#include <functional>
#include <optional>

class QSystemTrayIcon;
class QWidget;

namespace horalog {

enum class MessageIcon { Critical, Question, Information, Exclamation };
enum class MessageButtons { Ok, YesNo };
enum class MessageAnswer { Ok, Yes, No };

struct FileDialogRequest {
    QString title;
    QString folder;
    QString fileName;
    QStringList filters;  // in Qt's form: «Dat fil (*.Dat)», the patterns in the brackets
    // The refusal of a chosen name, shown while the dialog stays open; empty takes the name.
    std::function<QString(const QString&)> refusal;
    bool confirmOverwrite = false;  // an existing file is asked about before it is replaced
};

// Everything the window needs from outside that a test must control: modal dialogs, the
// clock, the locale and the end of the program.
class Platform {
public:
    virtual ~Platform() = default;

    virtual MessageAnswer messageBox(QWidget* parent, const QString& text, const QString& title,
                                     MessageIcon icon, MessageButtons buttons,
                                     MessageAnswer defaultButton) = 0;
    // Cancel gives the empty text.
    virtual QString inputBox(QWidget* parent, const QString& prompt, const QString& title,
                             const QString& defaultText) = 0;
    // The chosen full path, or nothing on Cancel.
    virtual std::optional<QString> chooseFile(QWidget* parent,
                                              const FileDialogRequest& request) = 0;

    virtual QDateTime currentDateTime() = 0;
    virtual std::int64_t millisecondsSinceStart() = 0;

    virtual QString shortDatePattern() = 0;
    virtual QChar decimalSeparator() = 0;
    // The time of day with seconds in the user's format, 24-hour.
    virtual QString timeWithSeconds(const QTime& time) = 0;

    // Whether a modal dialog is open now (a tick may come while one is).
    virtual bool dialogOpen() = 0;

    // Whether the desktop has a tray now; a panel may come and go while the program runs.
    virtual bool trayAvailable() = 0;
    // A notice from the tray icon, which the desktop shows for a while and then lets go.
    virtual void trayMessage(QSystemTrayIcon& icon, const QString& title, const QString& text) = 0;

    [[noreturn]] virtual void endProgram(int status) = 0;
};

}  // namespace horalog
