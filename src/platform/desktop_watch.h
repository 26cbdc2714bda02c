#pragma once

#include <functional>

#include "platform/desktop_event.h"

class QWidget;

namespace horalog {

// Tells `handler` each lock, unlock, sleep and wake the desktop reports, for as long as `window`
// lives. Where nothing answers (no session bus, no logind, no screen saver), it is never called.
void watchDesktop(QWidget* window, std::function<void(DesktopEvent)> handler);

}  // namespace horalog
