// The choice between the simulated and the real USB bridge library.
#include "platform/usblink/UsbBridgeFactory.h"

#include <cstdlib>

#include "platform/usblink/NoDeviceUsbBridge.h"
#include "platform/usblink/libusb/Cp210xUsbBridge.h"
#include "platform/usblink/libusb/LibusbTransport.h"
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
    // Real devices through libusb; where libusb cannot start, no device is seen.
    if (std::unique_ptr<CLibusbTransport> transport = CLibusbTransport::Create()) {
        return std::make_unique<CCp210xUsbBridge>(std::move(transport));
    }
    return std::make_unique<CNoDeviceUsbBridge>();
}
