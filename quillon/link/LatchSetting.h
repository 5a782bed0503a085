// The GPIO latch settings the system drives: {mask, value} pairs for the bridge's latch.
// Bit n is the bridge's GPIOn line.
#pragma once

#include <cstdint>

struct LatchSetting {
    std::uint8_t mask;
    std::uint8_t value;
};

constexpr LatchSetting LATCH_GPIO2_HIGH{0x04, 0x04};
constexpr LatchSetting LATCH_GPIO2_LOW{0x04, 0x00};
constexpr LatchSetting LATCH_GPIO3_LOW{0x08, 0x00};
constexpr LatchSetting LATCH_GPIO3_HIGH{0x08, 0x08};
constexpr LatchSetting LATCH_SELECT_3{0x03, 0x03};  // GPIO1 high, GPIO0 high
constexpr LatchSetting LATCH_SELECT_2{0x03, 0x02};  // GPIO1 high, GPIO0 low
constexpr LatchSetting LATCH_SELECT_1{0x03, 0x01};  // GPIO1 low, GPIO0 high
