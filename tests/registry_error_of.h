#pragma once

#include <functional>
#include <string>

#include "registry/registry_error.h"

namespace horalog::testing {

// The key error a call raises, as "source: description", or nothing.
inline std::string errorOf(const std::function<void()>& call) {
    try {
        call();
    } catch (const RegistryError& e) {
        return e.source() + ": " + e.description();
    }
    return {};
}

}  // namespace horalog::testing
