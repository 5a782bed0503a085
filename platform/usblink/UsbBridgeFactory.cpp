// The choice between the simulated and the real USB bridge library.
#include "platform/usblink/UsbBridgeFactory.h"

#include <cstdlib>

#include "platform/usblink/NoDeviceUsbBridge.h"
#include "platform/usblink/sim/SimUsbBridge.h"

namespace {
const char* SIMULATOR_VARIABLE = "BRAMLET_SIMULATOR";
const char* TRACE_VARIABLE = "BRAMLET_SIM_TRACE";
}  // namespace

std::unique_ptr<IUsbBridgeLibrary> CreateUsbBridgeLibrary() {
    const char* stateFile = std::getenv(SIMULATOR_VARIABLE);
    if (stateFile != nullptr && *stateFile != '\0') {
        const char* trace = std::getenv(TRACE_VARIABLE);
        return std::make_unique<CSimUsbBridge>(stateFile, trace != nullptr ? trace : "");
    }
    // Real devices: the libusb library takes this place; until it exists no device is seen.
    return std::make_unique<CNoDeviceUsbBridge>();
}
