#include <windows.h>

#include "platform/uptime.h"

namespace horalog {

std::int64_t systemUptimeMilliseconds() {
    return static_cast<std::int64_t>(GetTickCount64());
}

}  // namespace horalog
