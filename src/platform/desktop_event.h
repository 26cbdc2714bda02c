#pragma once

namespace horalog {

// What the desktop tells of the user's coming and going: the session's screen lock and the
// machine's sleep.
enum class DesktopEvent { Locked, Unlocked, Sleeping, Woken };

}  // namespace horalog
