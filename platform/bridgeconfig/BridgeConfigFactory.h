// The choice of the bridge configuration library, made once at start-up.
#pragma once

#include <memory>

#include "platform/bridgeconfig/BridgeConfigLibrary.h"

// The environment variable that names the simulator's state file.
inline constexpr const char* SIMULATOR_ENV = "BRAMLET_SIMULATOR";

// With BRAMLET_SIMULATOR set, the simulated library on that state file. Otherwise the library of
// the real chip over libusb; where libusb cannot start, a library that sees no device, so a run
// reports "no device" and touches nothing.
std::unique_ptr<IBridgeConfigLibrary> CreateBridgeConfigLibrary();
