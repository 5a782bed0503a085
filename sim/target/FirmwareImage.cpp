// Reassembly of the received image and the search for its version tag.
#include "sim/target/FirmwareImage.h"

#include <algorithm>
#include <cstring>

namespace {
constexpr std::uint8_t ERASED = 0xFF;
}

void CFirmwareImage::Clear() {
    bytes.clear();
    base = 0;
    upperAddress = 0;
}

bool CFirmwareImage::Apply(const HexRecord& record) {
    switch (record.type) {
        // The parser guarantees two data bytes for the address records.
        case HEX_DATA:
            return Write(std::uint64_t{upperAddress} + record.address, record.data);
        case HEX_EXTENDED_SEGMENT_ADDRESS:
            upperAddress = static_cast<std::uint32_t>(record.data[0] << 8 | record.data[1]) << 4;
            return true;
        case HEX_EXTENDED_LINEAR_ADDRESS:
            upperAddress = static_cast<std::uint32_t>(record.data[0] << 8 | record.data[1]) << 16;
            return true;
        default:
            // End of file and start addresses place no bytes.
            return true;
    }
}

bool CFirmwareImage::Write(std::uint64_t address, const std::vector<std::uint8_t>& data) {
    if (data.empty()) {
        return true;
    }
    std::uint64_t end = address + data.size();
    std::uint64_t newBase = bytes.empty() ? address : std::min<std::uint64_t>(base, address);
    std::uint64_t oldEnd = bytes.empty() ? end : std::uint64_t{base} + bytes.size();
    std::uint64_t newEnd = std::max(oldEnd, end);
    if (newEnd - newBase > IMAGE_SPAN_LIMIT || newEnd > (std::uint64_t{1} << 32)) {
        return false;
    }
    if (bytes.empty()) {
        base = static_cast<std::uint32_t>(address);
    } else if (newBase < base) {
        bytes.insert(bytes.begin(), base - newBase, ERASED);
        base = static_cast<std::uint32_t>(newBase);
    }
    bytes.resize(newEnd - newBase, ERASED);
    std::copy(data.begin(), data.end(), bytes.begin() + (address - base));
    return true;
}

std::optional<std::string> CFirmwareImage::Version() const {
    const std::size_t tagLength = std::strlen(VERSION_TAG);
    auto tag = std::search(bytes.begin(), bytes.end(), VERSION_TAG, VERSION_TAG + tagLength);
    if (tag == bytes.end()) {
        return std::nullopt;
    }
    auto start = tag + static_cast<std::ptrdiff_t>(tagLength);
    auto limit = bytes.end() - start > static_cast<std::ptrdiff_t>(VERSION_TEXT_LIMIT)
                     ? start + VERSION_TEXT_LIMIT
                     : bytes.end();
    auto stop = std::find(start, limit, std::uint8_t{0});
    return std::string(start, stop);
}
