#pragma once

#include <cstddef>
#include <cstdint>

namespace horalog::fuzz {

// Each check feeds one input to a reader of outside text and aborts when a property fails:
// the fuzz targets run them under libFuzzer, the test suite replays the seed corpora.
void checkNumberReading(const std::uint8_t* data, std::size_t size);
void checkTimeText(const std::uint8_t* data, std::size_t size);
void checkLastRecord(const std::uint8_t* data, std::size_t size);
void checkStoreText(const std::uint8_t* data, std::size_t size);

}  // namespace horalog::fuzz
