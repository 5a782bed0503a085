// How the text values of the parameters file become the numbers written to the chip. The numbers
// follow the C library's strtol and atoi with a 32-bit long and int, whatever the host's sizes.
#pragma once

#include <cstdint>
#include <string_view>

// As strtol(text, nullptr, 16): leading white space, an optional sign, an optional "0x" or "0X",
// then hexadecimal digits up to the first other character; no digits give 0; a number beyond the
// signed 32-bit range is clamped to it.
std::int32_t HexToLong(std::string_view text);

// As atoi(text): leading white space, an optional sign, decimal digits up to the first other
// character; no digits give 0; a number beyond the signed 32-bit range is clamped to it.
std::int32_t DecimalToInt(std::string_view text);

// [VID] and [PID]: the low 16 bits of the hexadecimal number.
std::uint16_t UsbIdValue(std::string_view text);

// [Bus Power]: the low 8 bits of the decimal number.
std::uint8_t BusPowerValue(std::string_view text);

// [Device Version]: split at the first dot, each side a decimal number cut to its low 8 bits, the
// version being high * 256 + low. A text without a dot gives 0.
std::uint16_t DeviceVersionValue(std::string_view text);
