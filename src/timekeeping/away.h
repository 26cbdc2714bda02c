#pragma once

#include <QDateTime>
#include <QString>
#include <cstdint>
#include <optional>

#include "platform/desktop_event.h"

namespace horalog {

struct AwayStretch {
    QDateTime from, to;
};

// When the user was last seen at the machine: a stretch away begins at a lock, or at a sleep
// without a lock before it, and ends at an unlock, or at a wake when the screen was not locked.
class Away {
public:
    // The stretch that this event ended, when it ended one.
    std::optional<AwayStretch> on(DesktopEvent event, const QDateTime& at);
    // When the open day ended, as far as the desktop tells: the start of the last stretch away
    // that no return on its own date ended (a lunch-time lock is no end of the day).
    const std::optional<QDateTime>& lastSeen() const { return lastSeen_; }

private:
    std::optional<QDateTime> since_;
    std::optional<QDateTime> lastSeen_;
    bool locked_ = false;
};

// The tray's notice of a stretch away within one day that lasted longer than the lunch (in
// centi-hours): «Du var væk 11:30–13:05 (1:35).».
std::optional<QString> awayNotice(const AwayStretch& stretch, std::int16_t lunchCT);
QString awayTitle();

}  // namespace horalog
