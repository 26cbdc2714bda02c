#pragma once

#include <gtest/gtest.h>

#include <QDateTime>
#include <QStringList>
#include <QWidget>
#include <functional>
#include <optional>
#include <vector>

#include "platform/platform.h"

// Failures show texts as text.
inline void PrintTo(const QString& s, std::ostream* os) {
    *os << '"' << s.toStdString() << '"';
}

namespace horalog::testing {

// Thrown where the real program would end, so a test can look at what was written before.
struct ProgramEnded {
    int status;
};

struct ShownDialog {
    QChar kind;                        // as in the script: '>' input, '@' file, '!' message
    QString title, text, defaultText;  // text: the message or the prompt
    MessageIcon icon = MessageIcon::Information;
    MessageButtons buttons = MessageButtons::Ok;
    MessageAnswer defaultButton = MessageAnswer::Ok;
    FileDialogRequest file{};
    bool windowVisible = false;  // whether the window was on screen when it was shown
};

// Answers dialogs from a script and records every one shown; a dialog the script did not
// expect fails the test. Its clock and locale are set by the test.
class ScriptedPlatform : public Platform {
public:
    // Answers in the order asked: ">text" an input, "@path" or "@" (Cancel) the file dialog,
    // "Ja", "Nej" or "OK" a message.
    void answer(const QString& script) { answers_ << script.split(u'|', Qt::SkipEmptyParts); }
    bool allAnswered() const { return answers_.isEmpty(); }

    MessageAnswer messageBox(QWidget* parent, const QString& text, const QString& title,
                             MessageIcon icon, MessageButtons buttons,
                             MessageAnswer defaultButton) override {
        const QString a = show({u'!', title, text, {}, icon, buttons, defaultButton}, parent);
        if (whileMessageShown) {
            whileMessageShown();
        }
        return a == u"Ja"    ? MessageAnswer::Yes
               : a == u"Nej" ? MessageAnswer::No
                             : MessageAnswer::Ok;
    }
    QString inputBox(QWidget* parent, const QString& prompt, const QString& title,
                     const QString& defaultText) override {
        return show({u'>', title, prompt, defaultText}, parent);
    }
    std::optional<QString> chooseFile(QWidget* parent, const FileDialogRequest& request) override {
        ShownDialog d{u'@', request.title, {}, {}};
        d.file = request;
        const QString a = show(d, parent);
        return a.isEmpty() ? std::nullopt : std::optional(a);
    }
    QDateTime currentDateTime() override { return now; }
    std::int64_t millisecondsSinceStart() override { return uptimeMs; }
    QString shortDatePattern() override { return datePattern; }
    QChar decimalSeparator() override { return QLatin1Char(','); }
    QString timeWithSeconds(const QTime& time) override { return time.toString(u"HH:mm:ss"); }
    bool trayAvailable() override { return tray; }
    [[noreturn]] void endProgram(int status) override {
        endedWith = status;
        throw ProgramEnded{status};
    }

    std::vector<ShownDialog> shown;
    std::optional<int> endedWith;
    QDateTime now{QDate(2026, 12, 5), QTime(8, 0, 0)};
    std::int64_t uptimeMs = 3600 * 1000;
    QString datePattern = QStringLiteral("dd-MM-yyyy");
    bool tray = false;
    std::function<void()> whileMessageShown;  // as the event loop of a real one would run

private:
    // Records the dialog and takes the answer scripted for it, without its kind's mark.
    QString show(ShownDialog d, QWidget* parent) {
        d.windowVisible = parent != nullptr && parent->isVisible();
        shown.push_back(d);
        const QString a = answers_.isEmpty() ? QString() : answers_.takeFirst();
        const QChar kind = a.startsWith(u'>') || a.startsWith(u'@') ? a[0] : QChar(u'!');
        if (a.isEmpty() || kind != d.kind) {
            ADD_FAILURE() << "unexpected dialog: " << (d.title + u'|' + d.text).toStdString();
            return QString();
        }
        return kind == u'!' ? a : a.mid(1);
    }
    QStringList answers_;
};

}  // namespace horalog::testing
