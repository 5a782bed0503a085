// Splitting a target report into its bracketed packets and taking a packet's value.
#pragma once

#include <optional>
#include <string_view>

// Takes the next packet off rest: drops everything before the first "[", and returns the text
// from there up to and including the first "]". Nothing when either bracket is missing.
std::optional<std::u16string_view> NextPacket(std::u16string_view& rest);

// The value of a packet that begins with prefix: what follows the prefix up to the first "]".
// Nothing when the packet does not begin with prefix.
std::optional<std::u16string_view> PacketValue(std::u16string_view packet,
                                               std::u16string_view prefix);
