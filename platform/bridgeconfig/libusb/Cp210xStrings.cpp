// Conversions between the library's 8-bit texts and the chip's string descriptors.
#include "platform/bridgeconfig/libusb/Cp210xStrings.h"

#include "platform/bridgeconfig/libusb/Cp210xWire.h"

std::vector<std::uint8_t> EncodeStringDescriptor(std::string_view text) {
    std::vector<std::uint8_t> descriptor;
    descriptor.reserve(2 + 2 * text.size());
    descriptor.push_back(static_cast<std::uint8_t>(2 + 2 * text.size()));
    descriptor.push_back(STRING_DESCRIPTOR_TYPE);
    for (const char c : text) {
        descriptor.push_back(static_cast<std::uint8_t>(c));
        descriptor.push_back(0);
    }
    return descriptor;
}

std::optional<std::u16string> DecodeStringDescriptor(std::span<const std::uint8_t> bytes) {
    if (bytes.size() < 2 || bytes[1] != STRING_DESCRIPTOR_TYPE || bytes[0] < 2 ||
        bytes[0] > bytes.size() || bytes[0] % 2 != 0) {
        return std::nullopt;
    }
    std::u16string text;
    for (std::size_t at = 2; at + 1 < bytes[0]; at += 2) {
        text.push_back(static_cast<char16_t>(bytes[at] | (bytes[at + 1] << 8)));
    }
    return text;
}

std::string NarrowText(std::u16string_view text) {
    std::string narrow;
    narrow.reserve(text.size());
    for (const char16_t c : text) {
        narrow.push_back(c <= 0xFF ? static_cast<char>(c) : '?');
    }
    return narrow;
}
