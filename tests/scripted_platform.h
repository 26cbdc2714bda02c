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
    enum class Kind { Message, Input, File } kind;
    QString title, text, defaultText;  // text: the message or the prompt
    MessageIcon icon = MessageIcon::Information;
    MessageButtons buttons = MessageButtons::Ok;
    FileDialogRequest file{};
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
        answers_.push_back({ShownDialog::Kind::Input, MessageAnswer::Ok, a, {}, {}});
    }
    void answerFile(std::optional<QString> a) {
        answers_.push_back({ShownDialog::Kind::File, MessageAnswer::Ok, {}, a, {}});
    }
    bool allAnswered() const { return answers_.empty(); }

    MessageAnswer messageBox(QWidget* parent, const QString& text, const QString& title,
                             MessageIcon icon, MessageButtons buttons, MessageAnswer) override {
        return show({ShownDialog::Kind::Message, title, text, {}, icon, buttons}, parent).message;
    }
    QString inputBox(QWidget* parent, const QString& prompt, const QString& title,
                     const QString& defaultText) override {
        return show({ShownDialog::Kind::Input, title, prompt, defaultText}, parent).input;
    }
    std::optional<QString> chooseFile(QWidget* parent, const FileDialogRequest& request) override {
        ShownDialog d{ShownDialog::Kind::File, request.title, {}, {}};
        d.file = request;
        return show(d, parent).file;
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

private:
    struct Answer {
        ShownDialog::Kind kind;
        MessageAnswer message;
        QString input;
        std::optional<QString> file;
        std::function<void()> whileShown;
    };
    // Records the dialog and takes the answer scripted for it.
    Answer show(ShownDialog d, QWidget* parent) {
        d.windowVisible = parent != nullptr && parent->isVisible();
        shown.push_back(d);
        if (answers_.empty() || answers_.front().kind != d.kind) {
            ADD_FAILURE() << "unexpected dialog: "
                          << (d.title + QStringLiteral(": ") + d.text).toStdString();
            return {d.kind, MessageAnswer::Ok, {}, {}, {}};
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
