#include "scripted_platform.h"

#include <gtest/gtest.h>

#include <QWidget>

namespace horalog::testing {

ScriptedPlatform::ScriptedPlatform() = default;

void ScriptedPlatform::answerMessage(MessageAnswer answer) {
    answers_.push_back({ShownDialog::Kind::Message, answer, {}, {}, false});
}

void ScriptedPlatform::answerInput(const QString& answer) {
    answers_.push_back({ShownDialog::Kind::Input, MessageAnswer::Ok, answer, {}, false});
}

void ScriptedPlatform::answerFile(std::optional<QString> path) {
    answers_.push_back({ShownDialog::Kind::File,
                        MessageAnswer::Ok,
                        {},
                        path.value_or(QString()),
                        path.has_value()});
}

std::optional<ScriptedPlatform::Answer> ScriptedPlatform::next(ShownDialog::Kind kind,
                                                               const QString& what) {
    if (answers_.empty() || answers_.front().kind != kind) {
        ADD_FAILURE() << "unexpected dialog: " << what.toStdString();
        return std::nullopt;
    }
    Answer a = answers_.front();
    answers_.pop_front();
    return a;
}

MessageAnswer ScriptedPlatform::messageBox(QWidget* parent, const QString& text,
                                           const QString& title, MessageIcon icon,
                                           MessageButtons buttons, MessageAnswer defaultButton) {
    ShownDialog d;
    d.kind = ShownDialog::Kind::Message;
    d.title = title;
    d.text = text;
    d.icon = icon;
    d.buttons = buttons;
    d.defaultButton = defaultButton;
    d.windowVisible = parent != nullptr && parent->isVisible();
    shown.push_back(d);
    const auto a = next(d.kind, title + QStringLiteral(": ") + text);
    if (!a) {
        return buttons == MessageButtons::Ok ? MessageAnswer::Ok : MessageAnswer::No;
    }
    return a->message;
}

QString ScriptedPlatform::inputBox(QWidget* parent, const QString& prompt, const QString& title,
                                   const QString& defaultText) {
    ShownDialog d;
    d.kind = ShownDialog::Kind::Input;
    d.title = title;
    d.text = prompt;
    d.defaultText = defaultText;
    d.windowVisible = parent != nullptr && parent->isVisible();
    shown.push_back(d);
    const auto a = next(d.kind, title + QStringLiteral(": ") + prompt);
    return a ? a->input : QString();
}

std::optional<QString> ScriptedPlatform::chooseFile(QWidget* parent,
                                                    const FileDialogRequest& request) {
    ShownDialog d;
    d.kind = ShownDialog::Kind::File;
    d.title = request.title;
    d.file = request;
    d.windowVisible = parent != nullptr && parent->isVisible();
    shown.push_back(d);
    const auto a = next(d.kind, request.title);
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
