// Conversions between the system's 16-bit text and the byte strings around it.
#pragma once

#include <string>
#include <string_view>

// One 16-bit character per byte, the byte taken as signed: 0x80-0xFF become 0xFF80-0xFFFF,
// as the link and the product-string queries widen.
std::u16string WidenBytes(std::string_view bytes);

// The low byte of each character: what goes on the wire for a 16-bit text.
std::string LowBytes(std::u16string_view text);

// UTF-8 (file names, terminal, Qt's 8-bit side) to and from UTF-16. Invalid input sequences
// become U+FFFD.
std::u16string FromUtf8(std::string_view utf8);
std::string ToUtf8(std::u16string_view utf16);
