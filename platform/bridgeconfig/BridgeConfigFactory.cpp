// Picks the simulated library or the one for real devices.
#include "platform/bridgeconfig/BridgeConfigFactory.h"

#include <cstdlib>

#include "platform/bridgeconfig/NoDeviceBridgeConfig.h"
#include "platform/bridgeconfig/SimBridgeConfig.h"
#include "platform/bridgeconfig/libusb/Cp210xBridgeConfig.h"
#include "platform/bridgeconfig/libusb/LibusbConfigTransport.h"

std::unique_ptr<IBridgeConfigLibrary> CreateBridgeConfigLibrary() {
    const char* stateFile = std::getenv(SIMULATOR_ENV);
    if (stateFile != nullptr && *stateFile != '\0') {
        return std::make_unique<CSimBridgeConfig>(stateFile);
    }
    // Real chips through libusb; where libusb cannot start, a library that sees no device.
    if (auto transport = CreateLibusbConfigTransport()) {
        return std::make_unique<CCp210xBridgeConfig>(std::move(transport));
    }
    return std::make_unique<CNoDeviceBridgeConfig>();
}
