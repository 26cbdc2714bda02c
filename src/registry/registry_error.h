#pragma once

#include <stdexcept>
#include <string>

namespace horalog {

// The one error every failing registry operation raises.
class RegistryError : public std::runtime_error {
public:
    static constexpr long kNumber = -2147221502;  // hexadecimal 80040002

    // result and problem: the store's own code and words for why a change failed, when known.
    RegistryError(std::string source, std::string description, long result = 0,
                  std::string problem = {});

    long number() const { return kNumber; }
    const std::string& source() const { return source_; }
    const std::string& description() const { return description_; }
    long result() const { return result_; }
    const std::string& problem() const { return problem_; }

private:
    std::string source_;
    std::string description_;
    long result_;
    std::string problem_;
};

}  // namespace horalog
