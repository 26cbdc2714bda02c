#include "fuzz_checks.h"

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
    horalog::fuzz::checkLastRecord(data, size);
    return 0;
}
