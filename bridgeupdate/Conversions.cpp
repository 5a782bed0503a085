// Text to number conversions of the parameter values, in the C library's manner.
#include "bridgeupdate/Conversions.h"

#include <limits>

namespace {

constexpr std::int64_t LONG_MAX_32 = std::numeric_limits<std::int32_t>::max();
constexpr std::int64_t LONG_MIN_32 = std::numeric_limits<std::int32_t>::min();

// White space as the C locale's isspace sees it.
bool IsSpace(char ch) {
    return ch == ' ' || ch == '\t' || ch == '\n' || ch == '\v' || ch == '\f' || ch == '\r';
}

int DigitValue(char ch, int base) {
    int value = base;
    if (ch >= '0' && ch <= '9') {
        value = ch - '0';
    } else if (ch >= 'a' && ch <= 'z') {
        value = ch - 'a' + 10;
    } else if (ch >= 'A' && ch <= 'Z') {
        value = ch - 'A' + 10;
    }
    return value < base ? value : -1;
}

// The shared scanner of strtol and atoi for bases 10 and 16.
std::int32_t ParseLong32(std::string_view text, int base) {
    std::size_t pos = 0;
    while (pos < text.size() && IsSpace(text[pos])) {
        ++pos;
    }
    bool negative = false;
    if (pos < text.size() && (text[pos] == '+' || text[pos] == '-')) {
        negative = text[pos] == '-';
        ++pos;
    }
    // The prefix counts only when a hexadecimal digit follows it; "0x" alone reads as 0.
    if (base == 16 && pos + 2 < text.size() && text[pos] == '0' &&
        (text[pos + 1] == 'x' || text[pos + 1] == 'X') && DigitValue(text[pos + 2], 16) >= 0) {
        pos += 2;
    }
    // The magnitude saturates just past the 32-bit range, which is all the clamp needs.
    constexpr std::int64_t SATURATED = LONG_MAX_32 + 2;
    std::int64_t magnitude = 0;
    for (; pos < text.size(); ++pos) {
        const int digit = DigitValue(text[pos], base);
        if (digit < 0) {
            break;
        }
        magnitude = magnitude * base + digit;
        if (magnitude > SATURATED) {
            magnitude = SATURATED;
        }
    }
    const std::int64_t value = negative ? -magnitude : magnitude;
    if (value > LONG_MAX_32) {
        return static_cast<std::int32_t>(LONG_MAX_32);
    }
    if (value < LONG_MIN_32) {
        return static_cast<std::int32_t>(LONG_MIN_32);
    }
    return static_cast<std::int32_t>(value);
}

}  // namespace

std::int32_t HexToLong(std::string_view text) {
    return ParseLong32(text, 16);
}

std::int32_t DecimalToInt(std::string_view text) {
    return ParseLong32(text, 10);
}

std::uint16_t UsbIdValue(std::string_view text) {
    return static_cast<std::uint16_t>(static_cast<std::uint32_t>(HexToLong(text)) & 0xFFFF);
}

std::uint8_t BusPowerValue(std::string_view text) {
    return static_cast<std::uint8_t>(static_cast<std::uint32_t>(DecimalToInt(text)) & 0xFF);
}

std::uint16_t DeviceVersionValue(std::string_view text) {
    const std::size_t dot = text.find('.');
    if (dot == std::string_view::npos) {
        return 0;
    }
    const auto high = static_cast<std::uint32_t>(DecimalToInt(text.substr(0, dot))) & 0xFF;
    const auto low = static_cast<std::uint32_t>(DecimalToInt(text.substr(dot + 1))) & 0xFF;
    return static_cast<std::uint16_t>(high * 256 + low);
}
