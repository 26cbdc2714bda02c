#include "registry/registry_error.h"

namespace horalog {

RegistryError::RegistryError(std::string source, std::string description)
    : std::runtime_error(source + " " + description),
      source_(std::move(source)),
      description_(std::move(description)) {}

}  // namespace horalog
