// A library that sees no device: the count is 0, every device call fails.
#include "platform/usblink/NoDeviceUsbBridge.h"

int CNoDeviceUsbBridge::GetNumDevices(std::uint32_t* count) {
    *count = 0;
    return BRIDGE_SUCCESS;
}
int CNoDeviceUsbBridge::GetProductString(std::uint32_t, char*, std::uint8_t) {
    return BRIDGE_DEVICE_NOT_FOUND;
}
int CNoDeviceUsbBridge::Open(std::uint32_t, BridgeHandle*) {
    return BRIDGE_DEVICE_NOT_FOUND;
}
int CNoDeviceUsbBridge::Close(BridgeHandle) {
    return BRIDGE_INVALID_HANDLE;
}
int CNoDeviceUsbBridge::Read(BridgeHandle, std::uint8_t*, std::uint32_t, std::uint32_t*) {
    return BRIDGE_INVALID_HANDLE;
}
int CNoDeviceUsbBridge::Write(BridgeHandle, const std::uint8_t*, std::uint32_t, std::uint32_t*) {
    return BRIDGE_INVALID_HANDLE;
}
int CNoDeviceUsbBridge::FlushBuffers(BridgeHandle, std::uint8_t, std::uint8_t) {
    return BRIDGE_INVALID_HANDLE;
}
int CNoDeviceUsbBridge::SetTimeouts(std::uint32_t, std::uint32_t) {
    return BRIDGE_SUCCESS;
}
int CNoDeviceUsbBridge::CheckRxQueue(BridgeHandle, std::uint32_t*, std::uint32_t*) {
    return BRIDGE_INVALID_HANDLE;
}
int CNoDeviceUsbBridge::SetBaudRate(BridgeHandle, std::uint32_t) {
    return BRIDGE_INVALID_HANDLE;
}
int CNoDeviceUsbBridge::SetLineControl(BridgeHandle, std::uint16_t) {
    return BRIDGE_INVALID_HANDLE;
}
int CNoDeviceUsbBridge::SetFlowControl(BridgeHandle, std::uint8_t, std::uint8_t, std::uint8_t,
                                       std::uint8_t, std::uint8_t, bool) {
    return BRIDGE_INVALID_HANDLE;
}
int CNoDeviceUsbBridge::ReadLatch(BridgeHandle, std::uint8_t*) {
    return BRIDGE_INVALID_HANDLE;
}
int CNoDeviceUsbBridge::WriteLatch(BridgeHandle, std::uint8_t, std::uint8_t) {
    return BRIDGE_INVALID_HANDLE;
}
