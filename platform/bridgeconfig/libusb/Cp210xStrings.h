// The chip's texts: 8-bit texts of the library to and from USB string descriptors (UTF-16LE).
#pragma once

#include <cstdint>
#include <optional>
#include <span>
#include <string>
#include <string_view>
#include <vector>

// The string descriptor holding text: [bLength][0x03][UTF-16LE], each byte taken as the code
// point of the same value (Latin-1).
std::vector<std::uint8_t> EncodeStringDescriptor(std::string_view text);

// The text of a string descriptor as received; nothing when it is not a well-formed one.
std::optional<std::u16string> DecodeStringDescriptor(std::span<const std::uint8_t> bytes);

// The 8-bit form of a chip text: characters above 0xFF, which no 8-bit text can hold, become '?'.
std::string NarrowText(std::u16string_view text);
