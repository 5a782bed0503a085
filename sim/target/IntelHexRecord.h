// One Intel HEX record line (":LLAAAATT" data "CC") taken apart and checked, as the target's
// boot loader does before it writes anything.
#pragma once

#include <cstdint>
#include <string_view>
#include <vector>

// Record types the boot loader knows.
constexpr std::uint8_t HEX_DATA = 0x00;
constexpr std::uint8_t HEX_END_OF_FILE = 0x01;
constexpr std::uint8_t HEX_EXTENDED_SEGMENT_ADDRESS = 0x02;
constexpr std::uint8_t HEX_START_SEGMENT_ADDRESS = 0x03;
constexpr std::uint8_t HEX_EXTENDED_LINEAR_ADDRESS = 0x04;
constexpr std::uint8_t HEX_START_LINEAR_ADDRESS = 0x05;

enum class HexParse {
    OK,
    // Not a record: no ":", odd length, a non-hex digit, a length byte that disagrees with the
    // line, or a type that is unknown or
    // has the wrong data length for its type.
    MALFORMED,
    // Well formed, but the bytes do not sum to zero.
    BAD_CHECKSUM,
};

struct HexRecord {
    std::uint8_t type = 0;
    std::uint16_t address = 0;
    std::vector<std::uint8_t> data;
};

// Parses one record line (without brackets or line end). Hex digits may be of either case.
HexParse ParseHexRecord(std::string_view line, HexRecord& record);
