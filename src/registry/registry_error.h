#pragma once

#include <stdexcept>
#include <string>

namespace horalog {

// The one error every failing registry operation raises.
class RegistryError : public std::runtime_error {
public:
    static constexpr long kNumber = -2147221502;  // hexadecimal 80040002

    RegistryError(std::string source, std::string description);

    long number() const { return kNumber; }
    const std::string& source() const { return source_; }
    const std::string& description() const { return description_; }

private:
    std::string source_;
    std::string description_;
};

}  // namespace horalog
