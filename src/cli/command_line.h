#pragma once

#include <QStringList>

namespace horalog {

// The options for panels, scripts and reports. Each answers on standard output or error and
// ends; none opens a window, and none needs a graphical session.
// A console program (Horalog.com) prints the help and the version too; the Windows window
// program, which has no console, shows them in a message box.
int runCommandLine(int argc, char* argv[], bool console = false);

// What the arguments (without the program's name) ask for: the option that answers, by its long
// name, and its value; or, with no option, why they cannot be answered (exit status 2).
struct ReadArguments {
    QString option;
    QString value;
    QString wrong;
};
ReadArguments readArguments(const QStringList& arguments);

// Whether the arguments are only Qt's own options (a session manager restarting the program with
// -session, a user's -style): those start the window as a start without any does.
bool onlyQtOptions(int argc, char* argv[]);

}  // namespace horalog
