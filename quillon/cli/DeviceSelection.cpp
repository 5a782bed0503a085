// Device index shifting over the process's USB bridge library.
#include "quillon/cli/DeviceSelection.h"

CDeviceSelection::CDeviceSelection(IUsbBridgeLibrary& library, int device)
    : library(library), skipped(device > 1 ? static_cast<std::uint32_t>(device - 1) : 0) {}

int CDeviceSelection::GetNumDevices(std::uint32_t* count) {
    std::uint32_t all = 0;
    const int status = library.GetNumDevices(&all);
    if (status == BRIDGE_SUCCESS) {
        *count = all > skipped ? all - skipped : 0;
    }
    return status;
}

int CDeviceSelection::GetProductString(std::uint32_t deviceIndex, char* buffer, std::uint8_t kind) {
    return library.GetProductString(deviceIndex + skipped, buffer, kind);
}

int CDeviceSelection::Open(std::uint32_t deviceIndex, BridgeHandle* handle) {
    return library.Open(deviceIndex + skipped, handle);
}
