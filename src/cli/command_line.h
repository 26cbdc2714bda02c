#pragma once

namespace horalog {

// The options for panels, scripts and reports. Each answers on standard output or error and
// ends; none opens a window, and none needs a graphical session.
// A console program (Horalog.com) prints the help and the version too; the Windows window
// program, which has no console, shows them in a message box.
int runCommandLine(int argc, char* argv[], bool console = false);

// Whether the arguments are only Qt's own options (a session manager restarting the program with
// -session, a user's -style): those start the window as a start without any does.
bool onlyQtOptions(int argc, char* argv[]);

}  // namespace horalog
