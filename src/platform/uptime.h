#pragma once

#include <cstdint>

namespace horalog {

// Milliseconds since the system started, 64-bit so it never wraps.
std::int64_t systemUptimeMilliseconds();

}  // namespace horalog
