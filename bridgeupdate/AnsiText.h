// The tool's 8-bit code page: each byte of the parameters file is one character (0x00-0xFF), so
// a value read into 16-bit text goes back to the bridge library as the very bytes of the file.
#pragma once

#include <string>
#include <string_view>

std::u16string FromAnsi(std::string_view bytes);
// Characters above 0xFF do not occur in text made by FromAnsi; they would be cut to their low byte.
std::string ToAnsi(std::u16string_view text);
