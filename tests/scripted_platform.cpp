#include "scripted_platform.h"

#include <gtest/gtest.h>

#include <QWidget>

namespace horalog::testing {

ScriptedPlatform::ScriptedPlatform() = default;

void ScriptedPlatform::answerMessage(MessageAnswer answer, std::function<void()> whileShown) {
    Answer a;
    a.kind = ShownDialog::Kind::Message;
    a.message = answer;
    a.whileShown = std::move(whileShown);
    answers_.push_back(a);
}

void ScriptedPlatform::answerInput(const QString& answer) {
    Answer a;
    a.kind = ShownDialog::Kind::Input;
    a.input = answer;
    answers_.push_back(a);
}

void ScriptedPlatform::answerFile(std::optional<QString> path) {
    Answer a;
    a.kind = ShownDialog::Kind::File;
    a.file = path.value_or(QString());
    a.fileChosen = path.has_value();
    answers_.push_back(a);
}

std::optional<ScriptedPlatform::Answer> ScriptedPlatform::show(ShownDialog d, QWidget* parent) {
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

namespace {
ShownDialog dialog(ShownDialog::Kind kind, const QString& title, const QString& text) {
    ShownDialog d;
    d.kind = kind;
    d.title = title;
    d.text = text;
    return d;
}
}  // namespace

MessageAnswer ScriptedPlatform::messageBox(QWidget* parent, const QString& text,
                                           const QString& title, MessageIcon icon,
                                           MessageButtons buttons, MessageAnswer defaultButton) {
    ShownDialog d = dialog(ShownDialog::Kind::Message, title, text);
    d.icon = icon;
    d.buttons = buttons;
    d.defaultButton = defaultButton;
    const auto a = show(d, parent);
    if (!a) {
        return buttons == MessageButtons::Ok ? MessageAnswer::Ok : MessageAnswer::No;
    }
    return a->message;
}

QString ScriptedPlatform::inputBox(QWidget* parent, const QString& prompt, const QString& title,
                                   const QString& defaultText) {
    ShownDialog d = dialog(ShownDialog::Kind::Input, title, prompt);
    d.defaultText = defaultText;
    const auto a = show(d, parent);
    return a ? a->input : QString();
}

std::optional<QString> ScriptedPlatform::chooseFile(QWidget* parent,
                                                    const FileDialogRequest& request) {
    ShownDialog d = dialog(ShownDialog::Kind::File, request.title, QString());
    d.file = request;
    const auto a = show(d, parent);
    if (!a || !a->fileChosen) {
        return std::nullopt;
    }
    return a->file;
}

void ScriptedPlatform::endProgram(int status) {
    endedWith = status;
    throw ProgramEnded{status};
}

}  // namespace horalog::testing
