// The device parameters file "deviceparameters.txt": its seven sections read into
// DeviceParameters, and the check that decides whether the values may be written to the chip.
#pragma once

#include <array>
#include <cstddef>
#include <string>
#include <string_view>

// The sections, in the order a section line is matched and the values are checked.
enum DeviceParameter : std::size_t {
    PARAM_VID,
    PARAM_PID,
    PARAM_PRODUCT_STRING,
    PARAM_SERIAL_NUMBER,
    PARAM_BUS_POWER,
    PARAM_DEVICE_VERSION,
    PARAM_PORT,
    PARAM_COUNT,
};

// The file the tool reads, by its bare name: it is looked up in the current directory.
inline constexpr const char* DEVICE_PARAMETERS_FILE = "deviceparameters.txt";

// What a malformed value line leaves as the value; a value holding it anywhere is refused.
inline constexpr std::u16string_view INVALID_MARK = u"Invalid";

// A line holds at most this many characters. A longer line is cut there, so its tail is never
// read as a line of its own; a value line that had to be cut makes its value invalid, so that a
// shortened serial number or product string never reaches the chip.
constexpr std::size_t MAX_LINE_LENGTH = 255;

struct DeviceParameters {
    std::array<std::u16string, PARAM_COUNT> values;
    // Whether the section occurred in the file at all.
    std::array<bool, PARAM_COUNT> present{};

    const std::u16string& operator[](DeviceParameter which) const { return values[which]; }
};

// The section name that a line carries, brackets included, e.g. "[VID]".
std::string_view SectionName(DeviceParameter which);

// Reads the file at path into parameters. Returns false, leaving parameters untouched, when the
// file cannot be opened.
bool ReadDeviceParameters(const std::string& path, DeviceParameters& parameters);

// True when the values may be written: every section occurred, no value carries the invalid mark,
// and the vendor and product identifiers are not 0 (a dongle with either at 0 is found by no tool
// again).
bool CheckDeviceParameters(const DeviceParameters& parameters);
