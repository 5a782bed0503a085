// Picks the simulated library or the one for real devices.
#include "platform/bridgeconfig/BridgeConfigFactory.h"

#include <cstdlib>

#include "platform/bridgeconfig/NoDeviceBridgeConfig.h"
#include "platform/bridgeconfig/SimBridgeConfig.h"

std::unique_ptr<IBridgeConfigLibrary> CreateBridgeConfigLibrary() {
    const char* stateFile = std::getenv(SIMULATOR_ENV);
    if (stateFile != nullptr && *stateFile != '\0') {
        return std::make_unique<CSimBridgeConfig>(stateFile);
    }
    // The libusb library for real chips takes this place once it exists.
    return std::make_unique<CNoDeviceBridgeConfig>();
}
