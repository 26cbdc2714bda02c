#pragma once

#include <memory>
#include <string>
#include <utility>
#include <vector>

#include "registry/registry_backend.h"

namespace horalog::testing {

inline const std::string kSettingsPath = "Software\\Kvistborg\\Horalog";

// A registry for one test: the store files in a fresh folder, or the real registry under Wine.
class RegistryWorld {
public:
    virtual ~RegistryWorld() = default;
    virtual std::shared_ptr<RegistryBackend> backend() = 0;
    // Puts a machine-wide settings key in place, as an administrator would.
    virtual void seedMachineKey(const std::vector<std::pair<std::string, std::string>>& values) = 0;
    virtual std::string name() const = 0;
};

std::unique_ptr<RegistryWorld> makeRegistryWorld();

}  // namespace horalog::testing
