// The process-wide USB bridge library and its default, a library that sees no device.
#include "platform/usblink/NoDeviceUsbBridge.h"
#include "platform/usblink/UsbBridgeLibrary.h"

namespace {
CNoDeviceUsbBridge noDeviceLibrary;
IUsbBridgeLibrary* installedLibrary = &noDeviceLibrary;
}  // namespace

IUsbBridgeLibrary& UsbBridge() {
    return *installedLibrary;
}

void InstallUsbBridge(IUsbBridgeLibrary* library) {
    installedLibrary = library != nullptr ? library : &noDeviceLibrary;
}
