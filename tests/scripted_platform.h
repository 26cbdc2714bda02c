#pragma once

#include <QDateTime>
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
    ScriptedPlatform();

    // whileShown runs while the dialog stands, as the event loop of a real one would.
    void answerMessage(MessageAnswer answer, std::function<void()> whileShown = {});
    void answerInput(const QString& answer);
    void answerFile(std::optional<QString> path);
    bool allAnswered() const { return answers_.empty(); }

    MessageAnswer messageBox(QWidget* parent, const QString& text, const QString& title,
                             MessageIcon icon, MessageButtons buttons,
                             MessageAnswer defaultButton) override;
    QString inputBox(QWidget* parent, const QString& prompt, const QString& title,
                     const QString& defaultText) override;
    std::optional<QString> chooseFile(QWidget* parent, const FileDialogRequest& request) override;
    QDateTime currentDateTime() override { return now; }
    std::int64_t millisecondsSinceStart() override { return uptimeMs; }
    QString shortDatePattern() override { return datePattern; }
    QChar decimalSeparator() override { return decimal; }
    QString timeWithSeconds(const QTime& time) override { return time.toString(timePattern); }
    bool trayAvailable() override { return tray; }
    [[noreturn]] void endProgram(int status) override;

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
        MessageAnswer message = MessageAnswer::Ok;
        QString input;
        QString file;
        bool fileChosen = false;
        std::function<void()> whileShown;
    };
    // Records the dialog and takes the answer scripted for it.
    std::optional<Answer> show(ShownDialog d, QWidget* parent);
    std::deque<Answer> answers_;
};

}  // namespace horalog::testing
