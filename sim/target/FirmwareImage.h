// The firmware image a target rebuilds from the Intel HEX records it receives: data records
// placed at their full addresses (extended segment and linear address records applied).
#pragma once

#include <cstdint>
#include <optional>
#include <string>
#include <vector>

#include "sim/target/IntelHexRecord.h"

// Largest span from the lowest to the highest byte written; a record beyond it is refused so a
// stray address cannot make the simulator allocate gigabytes.
constexpr std::uint32_t IMAGE_SPAN_LIMIT = 16u << 20;

// Marks the firmware version inside an image: "$VER:" followed by the version text, ended by a
// zero byte (or the end of the image).
constexpr const char* VERSION_TAG = "$VER:";
constexpr std::size_t VERSION_TEXT_LIMIT = 32;

class CFirmwareImage {
public:
    void Clear();
    // Applies one record; false when its data would fall outside IMAGE_SPAN_LIMIT.
    bool Apply(const HexRecord& record);

    // Bytes from Base() up to the highest byte written; gaps read 0xFF, as erased flash does.
    const std::vector<std::uint8_t>& Bytes() const { return bytes; }
    std::uint32_t Base() const { return base; }
    // The version text after the first VERSION_TAG, if the image carries one.
    std::optional<std::string> Version() const;

private:
    bool Write(std::uint64_t address, const std::vector<std::uint8_t>& data);

    std::vector<std::uint8_t> bytes;
    std::uint32_t base = 0;
    std::uint32_t upperAddress = 0;
};
