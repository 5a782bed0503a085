// Rewriting the bridge chip's USB configuration from the device parameters, and the console
// report of the outcome.
#pragma once

#include <ostream>

#include "bridgeupdate/DeviceParameters.h"
#include "platform/bridgeconfig/BridgeConfigLibrary.h"

// The port configuration written in every run, whatever the file's [Port] says: the bytes
// 54 CE FF CB 54 CE 00 read as three little-endian words and a byte.
inline constexpr BridgePortConfig FIXED_PORT_CONFIG = {0xCE54, 0xCBFF, 0xCE54, 0x00};

// Time the chip is given to store the new values before it is reset.
constexpr unsigned SETTLE_BEFORE_RESET_MS = 100;

// Programs the last device the library lists and writes the outcome to out. Every call of the
// sequence is made whatever the earlier ones returned. Returns false when no device was found
// (the only text then is "Device not found.\n"), true when the sequence ran to its report.
bool ReprogramBridge(const DeviceParameters& parameters, IBridgeConfigLibrary& library,
                     std::ostream& out);
