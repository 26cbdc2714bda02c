#include "fuzz_checks.h"

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
    horalog::fuzz::checkTimeText(data, size);
    return 0;
}
