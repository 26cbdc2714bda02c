#include "fuzz_checks.h"

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
    horalog::fuzz::checkStoreText(data, size);
    return 0;
}
