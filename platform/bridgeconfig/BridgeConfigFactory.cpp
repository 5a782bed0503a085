// Picks the simulated library or the one for real devices.
#include "platform/bridgeconfig/BridgeConfigFactory.h"

#include "platform/bridgeconfig/NoDeviceBridgeConfig.h"

std::unique_ptr<IBridgeConfigLibrary> CreateBridgeConfigLibrary() {
    return std::make_unique<CNoDeviceBridgeConfig>();
}
