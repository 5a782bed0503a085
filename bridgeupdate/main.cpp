// Entry point of bramlet-update: picks the configuration library and runs the dialogue once.
// Command-line arguments are ignored.
#include <iostream>

#include "bridgeupdate/ConsoleDriver.h"
#include "bridgeupdate/DeviceParameters.h"
#include "platform/bridgeconfig/BridgeConfigFactory.h"

int main() {
    const auto library = CreateBridgeConfigLibrary();
    return RunBramletUpdate(std::cin, std::cout, *library, DEVICE_PARAMETERS_FILE);
}
