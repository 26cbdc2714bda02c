#pragma once

namespace horalog {

// The options for panels, scripts and reports. Each answers on standard output or error and
// ends; none opens a window, and none needs a graphical session.
int runCommandLine(int argc, char* argv[]);

}  // namespace horalog
