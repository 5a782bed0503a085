// Intel HEX record parsing: byte pairs, length check, two's-complement checksum.
#include "sim/target/IntelHexRecord.h"

#include <optional>

namespace {

// Start code, length, address (2 bytes), type and checksum around the data.
constexpr std::size_t RECORD_OVERHEAD_CHARS = 1 + 2 * (1 + 2 + 1 + 1);

std::optional<std::uint8_t> HexDigit(char c) {
    if (c >= '0' && c <= '9') {
        return static_cast<std::uint8_t>(c - '0');
    }
    if (c >= 'A' && c <= 'F') {
        return static_cast<std::uint8_t>(c - 'A' + 10);
    }
    if (c >= 'a' && c <= 'f') {
        return static_cast<std::uint8_t>(c - 'a' + 10);
    }
    return std::nullopt;
}

// A known type with the data length that type requires (data records take any length).
bool ValidShape(std::uint8_t type, std::size_t dataLength) {
    switch (type) {
        case HEX_DATA:
            return true;
        case HEX_END_OF_FILE:
            return dataLength == 0;
        case HEX_EXTENDED_SEGMENT_ADDRESS:
        case HEX_EXTENDED_LINEAR_ADDRESS:
            return dataLength == 2;
        case HEX_START_SEGMENT_ADDRESS:
        case HEX_START_LINEAR_ADDRESS:
            return dataLength == 4;
        default:
            return false;
    }
}

}  // namespace

HexParse ParseHexRecord(std::string_view line, HexRecord& record) {
    if (line.size() < RECORD_OVERHEAD_CHARS || line.front() != ':' || line.size() % 2 == 0) {
        return HexParse::MALFORMED;
    }
    std::vector<std::uint8_t> bytes;
    bytes.reserve(line.size() / 2);
    for (std::size_t i = 1; i < line.size(); i += 2) {
        std::optional<std::uint8_t> high = HexDigit(line[i]);
        std::optional<std::uint8_t> low = HexDigit(line[i + 1]);
        if (!high || !low) {
            return HexParse::MALFORMED;
        }
        bytes.push_back(static_cast<std::uint8_t>(*high << 4 | *low));
    }
    // bytes: length, address high, address low, type, data..., checksum.
    std::size_t dataLength = bytes[0];
    if (bytes.size() != dataLength + 5 || !ValidShape(bytes[3], dataLength)) {
        return HexParse::MALFORMED;
    }
    std::uint8_t sum = 0;
    for (std::uint8_t b : bytes) {
        sum = static_cast<std::uint8_t>(sum + b);
    }
    if (sum != 0) {
        return HexParse::BAD_CHECKSUM;
    }
    record.type = bytes[3];
    record.address = static_cast<std::uint16_t>(bytes[1] << 8 | bytes[2]);
    record.data.assign(bytes.begin() + 4, bytes.end() - 1);
    return HexParse::OK;
}
