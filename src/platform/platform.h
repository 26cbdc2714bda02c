#pragma once

#include <QDateTime>
#include <QString>
#include <QStringList>
#include <cstdint>
#include <cstdlib>
#include <functional>
#include <optional>

#include "platform/clock.h"
#include "platform/desktop_event.h"
#include "text/message.h"
#include "text/result.h"

class QSystemTrayIcon;
class QWidget;

namespace horalog {

struct FileDialogRequest {
    QString title;
    QString folder;
    QString fileName;
    QStringList filters;  // in Qt's form: «Dat fil (*.Dat)», the patterns in the brackets
    // Whether a chosen name is taken; a failure is shown while the dialog stays open.
    std::function<Outcome(const QString&)> refusal;
    bool confirmOverwrite = false;  // an existing file is asked about before it is replaced
};

// Everything the window needs from outside that a test must control: modal dialogs, the
// clock, the locale and the end of the program.
class Platform : public Clock {
public:
    // A message box, and the button that closed it.
    virtual MessageAnswer ask(QWidget* parent, const Message& message) = 0;
    // An input box, and the text given; nothing for Annuller, Escape or the close button.
    virtual std::optional<QString> input(QWidget* parent, const InputRequest& request) = 0;
    // The same where Annuller counts as nothing typed.
    QString ask(QWidget* parent, const InputRequest& request) {
        return input(parent, request).value_or(QString());
    }
    // A message whose answer is OK.
    void tell(QWidget* parent, const Message& message) { ask(parent, message); }
    // The chosen full path, or nothing on Cancel.
    virtual std::optional<QString> chooseFile(QWidget* parent,
                                              const FileDialogRequest& request) = 0;

    // Whether a modal dialog is open now (a tick may come while one is).
    virtual bool dialogOpen() = 0;
    // The modal dialog open now, if any, brought to the front.
    virtual void bringDialogForward() = 0;

    // Whether the desktop has a tray now; a panel may come and go while the program runs.
    virtual bool trayAvailable() = 0;
    // A notice from the tray icon, which the desktop shows for a while and then lets go.
    virtual void trayMessage(QSystemTrayIcon& icon, const QString& title, const QString& text) = 0;
    // Tells `handler` of each lock, unlock, sleep and wake the desktop reports while `window`
    // lives; where it reports none, never.
    virtual void watchDesktop(QWidget* window, std::function<void(DesktopEvent)> handler) = 0;

    // Ends the program with the exit status. The compiler cannot know that an override never
    // returns, so the abort after it is what makes every caller's [[noreturn]] true.
    [[noreturn]] void endProgram(int status) {
        end(status);
        std::abort();
    }

protected:
    // Ends the program (a test's platform unwinds instead); never returns.
    virtual void end(int status) = 0;
};

}  // namespace horalog
