#pragma once

#include <gtest/gtest.h>

#include <QDateTime>
#include <QWidget>
#include <deque>
#include <functional>
#include <optional>
#include <vector>

#include "platform/platform.h"

namespace horalog::testing {

// Thrown where the real program would end, so a test can look at what was written before.
struct ProgramEnded {
    int status;
};

struct ShownDialog {
    enum class Kind { Message, Input, File } kind = Kind::Message;
    QString title;
    QString text;  // the message or the prompt
    QString defaultText;
    MessageIcon icon = MessageIcon::Information;
    MessageButtons buttons = MessageButtons::Ok;
    MessageAnswer defaultButton = MessageAnswer::Ok;
    FileDialogRequest file;
    bool windowVisible = false;  // whether the window was on screen when it was shown
};

// Answers dialogs from a queue and records every one shown; a dialog that no test expected
// fails the test. Its clock and locale are set by the test.
class ScriptedPlatform : public Platform {
public:
    // whileShown runs while the dialog stands, as the event loop of a real one would.
    void answerMessage(MessageAnswer a, std::function<void()> whileShown = {}) {
        answers_.push_back({ShownDialog::Kind::Message, a, {}, {}, std::move(whileShown)});
    }
    void answerInput(const QString& a) {
        answers_.push_back({ShownDialog::Kind::Input, {}, a, {}, {}});
    }
    void answerFile(std::optional<QString> a) {
        answers_.push_back({ShownDialog::Kind::File, {}, {}, a, {}});
    }
    bool allAnswered() const { return answers_.empty(); }

    MessageAnswer messageBox(QWidget* parent, const QString& text, const QString& title,
                             MessageIcon icon, MessageButtons buttons,
                             MessageAnswer defaultButton) override {
        ShownDialog d = dialog(ShownDialog::Kind::Message, title, text);
        d.icon = icon;
        d.buttons = buttons;
        d.defaultButton = defaultButton;
        const auto a = show(d, parent);
        return a ? a->message : MessageAnswer::Ok;
    }
    QString inputBox(QWidget* parent, const QString& prompt, const QString& title,
                     const QString& defaultText) override {
        ShownDialog d = dialog(ShownDialog::Kind::Input, title, prompt);
        d.defaultText = defaultText;
        const auto a = show(d, parent);
        return a ? a->input : QString();
    }
    std::optional<QString> chooseFile(QWidget* parent, const FileDialogRequest& request) override {
        ShownDialog d = dialog(ShownDialog::Kind::File, request.title, QString());
        d.file = request;
        const auto a = show(d, parent);
        return a ? a->file : std::nullopt;
    }
    QDateTime currentDateTime() override { return now; }
    std::int64_t millisecondsSinceStart() override { return uptimeMs; }
    QString shortDatePattern() override { return datePattern; }
    QChar decimalSeparator() override { return decimal; }
    QString timeWithSeconds(const QTime& time) override { return time.toString(timePattern); }
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
    QChar decimal = QLatin1Char(',');
    QString timePattern = QStringLiteral("HH:mm:ss");
    bool tray = false;

private:
    struct Answer {
        ShownDialog::Kind kind;
        MessageAnswer message;
        QString input;
        std::optional<QString> file;
        std::function<void()> whileShown;
    };
    static ShownDialog dialog(ShownDialog::Kind kind, const QString& title, const QString& text) {
        ShownDialog d;
        d.kind = kind;
        d.title = title;
        d.text = text;
        return d;
    }
    // Records the dialog and takes the answer scripted for it.
    std::optional<Answer> show(ShownDialog d, QWidget* parent) {
        d.windowVisible = parent != nullptr && parent->isVisible();
        shown.push_back(d);
        if (answers_.empty() || answers_.front().kind != d.kind) {
            ADD_FAILURE() << "unexpected dialog: "
                          << (d.title + QStringLiteral(": ") + d.text).toStdString();
            return std::nullopt;
        }
        Answer a = answers_.front();
        answers_.pop_front();
        if (a.whileShown) {
            a.whileShown();
        }
        return a;
    }
    std::deque<Answer> answers_;
};

}  // namespace horalog::testing
