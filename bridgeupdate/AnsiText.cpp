// Byte-per-character conversion between the parameters file and the tool's 16-bit text.
#include "bridgeupdate/AnsiText.h"

std::u16string FromAnsi(std::string_view bytes) {
    std::u16string text;
    text.reserve(bytes.size());
    for (const char byte : bytes) {
        text.push_back(static_cast<char16_t>(static_cast<unsigned char>(byte)));
    }
    return text;
}

std::string ToAnsi(std::u16string_view text) {
    std::string bytes;
    bytes.reserve(text.size());
    for (const char16_t ch : text) {
        bytes.push_back(static_cast<char>(ch & 0xFF));
    }
    return bytes;
}
