// Builds Intel HEX record lines for tests, with a correct checksum unless told otherwise.
#pragma once

#include <cstdint>
#include <cstdio>
#include <string>
#include <vector>

inline std::string HexLine(std::uint16_t address, std::uint8_t type,
                           const std::vector<std::uint8_t>& data, int checksumError = 0) {
    std::vector<std::uint8_t> bytes{static_cast<std::uint8_t>(data.size()),
                                    static_cast<std::uint8_t>(address >> 8),
                                    static_cast<std::uint8_t>(address & 0xFF), type};
    bytes.insert(bytes.end(), data.begin(), data.end());
    unsigned sum = 0;
    for (std::uint8_t b : bytes) {
        sum += b;
    }
    bytes.push_back(static_cast<std::uint8_t>(0x100 - (sum & 0xFF) + checksumError));
    std::string line = ":";
    char pair[3];
    for (std::uint8_t b : bytes) {
        std::snprintf(pair, sizeof pair, "%02X", b);
        line += pair;
    }
    return line;
}

inline const std::string HEX_EOF = ":00000001FF";

// Data records of 4 bytes each for the given payload, then the end-of-file record.
inline std::vector<std::string> HexFile(const std::vector<std::uint8_t>& payload) {
    std::vector<std::string> lines;
    for (std::size_t i = 0; i < payload.size(); i += 4) {
        std::vector<std::uint8_t> chunk(
            payload.begin() + static_cast<std::ptrdiff_t>(i),
            payload.begin() + static_cast<std::ptrdiff_t>(std::min(i + 4, payload.size())));
        lines.push_back(HexLine(static_cast<std::uint16_t>(i), 0x00, chunk));
    }
    lines.push_back(HEX_EOF);
    return lines;
}
