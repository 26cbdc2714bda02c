#include "registry/registry_error.h"

namespace horalog {

RegistryError::RegistryError(std::string source, std::string description, long result,
                             std::string problem)
    : std::runtime_error(source + " " + description),
      source_(std::move(source)),
      description_(std::move(description)),
      result_(result),
      problem_(std::move(problem)) {}

}  // namespace horalog
