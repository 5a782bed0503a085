// Wire facts of the CP210x configuration requests and of the standard descriptors they are read
// back from, in one place.
#pragma once

#include <array>
#include <cstddef>
#include <cstdint>

// USB identifiers of the single-UART bridge chips this library configures: the factory defaults
// and the Windows Update product ID. The multi-port parts (CP2105, CP2108) keep their
// configuration in another layout and are deliberately left out.
struct UsbId {
    std::uint16_t vid;
    std::uint16_t pid;
};
inline constexpr std::array<UsbId, 3> CP210X_IDS = {{
    {0x10C4, 0xEA60},
    {0x10C4, 0xEA61},
    {0x10C4, 0xEA63},
}};

// Customisation requests: bRequest 0xFF to the device; scalar values travel in wIndex without
// data, strings as a string descriptor in the data stage with wIndex 0.
constexpr std::uint8_t VENDOR_WRITE_TYPE = 0x40;
constexpr std::uint8_t VENDOR_READ_TYPE = 0xC0;
constexpr std::uint8_t VENDOR_REQUEST = 0xFF;
constexpr std::uint16_t SET_VID_VALUE = 0x3701;
constexpr std::uint16_t SET_PID_VALUE = 0x3702;
constexpr std::uint16_t SET_PRODUCT_STRING_VALUE = 0x3703;
constexpr std::uint16_t SET_SERIAL_NUMBER_VALUE = 0x3704;
constexpr std::uint16_t SET_MAX_POWER_VALUE = 0x3706;
constexpr std::uint16_t SET_DEVICE_VERSION_VALUE = 0x3707;
constexpr std::uint16_t GET_PART_NUMBER_VALUE = 0x370B;
constexpr std::uint16_t GET_PORT_CONFIG_VALUE = 0x370C;

// Longest texts the chip stores, in UTF-16 code units: its string descriptors hold at most 255
// (product) and 128 (serial number) bytes, two of them the descriptor's header.
constexpr std::size_t MAX_PRODUCT_CHARS = 126;
constexpr std::size_t MAX_SERIAL_CHARS = 63;

// bMaxPower counts units of 2 mA; a bus-powered USB 2.0 device may draw at most 500 mA.
constexpr std::uint8_t MAX_POWER_UNITS = 250;

// Part numbers of the chips whose 13-byte port configuration block the library can read, and the
// offsets of the fields in that block: little-endian words, then the enhanced-function byte.
constexpr std::uint8_t PART_CP2103 = 0x03;
constexpr std::uint8_t PART_CP2104 = 0x04;
constexpr std::size_t PORT_CONFIG_SIZE = 13;
constexpr std::size_t PORT_MODE_OFFSET = 0;
constexpr std::size_t PORT_RESET_LATCH_OFFSET = 4;
constexpr std::size_t PORT_SUSPEND_LATCH_OFFSET = 10;
constexpr std::size_t PORT_ENHANCED_OFFSET = 12;

// Standard GET_DESCRIPTOR requests: the chip's current descriptors, i.e. the configuration it
// enumerated with.
constexpr std::uint8_t STANDARD_READ_TYPE = 0x80;
constexpr std::uint8_t GET_DESCRIPTOR_REQUEST = 0x06;
constexpr std::uint8_t DEVICE_DESCRIPTOR_TYPE = 0x01;
constexpr std::uint8_t CONFIG_DESCRIPTOR_TYPE = 0x02;
constexpr std::uint8_t STRING_DESCRIPTOR_TYPE = 0x03;
constexpr std::uint16_t LANGID_US_ENGLISH = 0x0409;
constexpr std::size_t DEVICE_DESCRIPTOR_SIZE = 18;
constexpr std::size_t CONFIG_DESCRIPTOR_HEADER_SIZE = 9;
constexpr std::size_t MAX_DESCRIPTOR_SIZE = 255;
// Field offsets in the device and configuration descriptors.
constexpr std::size_t ID_VENDOR_OFFSET = 8;
constexpr std::size_t ID_PRODUCT_OFFSET = 10;
constexpr std::size_t BCD_DEVICE_OFFSET = 12;
constexpr std::size_t I_SERIAL_NUMBER_OFFSET = 16;
constexpr std::size_t B_MAX_POWER_OFFSET = 8;
