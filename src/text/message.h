#pragma once

#include <QString>

namespace horalog {

enum class MessageIcon { Critical, Question, Information, Exclamation };
enum class MessageButtons { Ok, YesNo };
enum class MessageAnswer { Ok, Yes, No };

// A message box as one value: the rules say what it is, the window shows it through the platform,
// and a test's platform records the same value.
struct Message {
    QString title;
    QString text;
    MessageIcon icon = MessageIcon::Information;
    MessageButtons buttons = MessageButtons::Ok;
    MessageAnswer defaultButton = MessageAnswer::Ok;
};

// A question answered "Ja" or "Nej", "Ja" the default.
inline Message question(const QString& title, const QString& text) {
    return {title, text, MessageIcon::Question, MessageButtons::YesNo, MessageAnswer::Yes};
}

// A message with an OK button.
inline Message notice(const QString& title, const QString& text,
                      MessageIcon icon = MessageIcon::Information) {
    return {title, text, icon, MessageButtons::Ok, MessageAnswer::Ok};
}

// An input box: its title, its prompt and the answer it proposes. Annuller gives the empty text.
struct InputRequest {
    QString title;
    QString prompt;
    QString proposal;
};

}  // namespace horalog
