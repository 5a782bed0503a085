// The library without devices: a count of 0, and every device operation refused.
#include "platform/bridgeconfig/NoDeviceBridgeConfig.h"

int CNoDeviceBridgeConfig::GetNumDevices(std::uint32_t* numDevices) {
    *numDevices = 0;
    return CONFIG_SUCCESS;
}

int CNoDeviceBridgeConfig::GetProductString(std::uint32_t, char*, std::uint32_t) {
    return CONFIG_DEVICE_NOT_FOUND;
}

int CNoDeviceBridgeConfig::Open(std::uint32_t, BridgeConfigHandle*) {
    return CONFIG_DEVICE_NOT_FOUND;
}

int CNoDeviceBridgeConfig::Close(BridgeConfigHandle) {
    return CONFIG_INVALID_HANDLE;
}

int CNoDeviceBridgeConfig::GetDeviceVid(BridgeConfigHandle, std::uint16_t*) {
    return CONFIG_INVALID_HANDLE;
}

int CNoDeviceBridgeConfig::GetDevicePid(BridgeConfigHandle, std::uint16_t*) {
    return CONFIG_INVALID_HANDLE;
}

int CNoDeviceBridgeConfig::GetDeviceSerialNumber(BridgeConfigHandle, char*, std::uint8_t*, bool) {
    return CONFIG_INVALID_HANDLE;
}

int CNoDeviceBridgeConfig::GetMaxPower(BridgeConfigHandle, std::uint8_t*) {
    return CONFIG_INVALID_HANDLE;
}

int CNoDeviceBridgeConfig::GetDeviceVersion(BridgeConfigHandle, std::uint16_t*) {
    return CONFIG_INVALID_HANDLE;
}

int CNoDeviceBridgeConfig::SetMaxPower(BridgeConfigHandle, std::uint8_t) {
    return CONFIG_INVALID_HANDLE;
}

int CNoDeviceBridgeConfig::SetDeviceVersion(BridgeConfigHandle, std::uint16_t) {
    return CONFIG_INVALID_HANDLE;
}

int CNoDeviceBridgeConfig::SetProductString(BridgeConfigHandle, const char*, std::uint8_t, bool) {
    return CONFIG_INVALID_HANDLE;
}

int CNoDeviceBridgeConfig::SetPortConfig(BridgeConfigHandle, const BridgePortConfig*) {
    return CONFIG_INVALID_HANDLE;
}

int CNoDeviceBridgeConfig::SetVid(BridgeConfigHandle, std::uint16_t) {
    return CONFIG_INVALID_HANDLE;
}

int CNoDeviceBridgeConfig::SetPid(BridgeConfigHandle, std::uint16_t) {
    return CONFIG_INVALID_HANDLE;
}

int CNoDeviceBridgeConfig::SetSerialNumber(BridgeConfigHandle, const char*, std::uint8_t, bool) {
    return CONFIG_INVALID_HANDLE;
}

int CNoDeviceBridgeConfig::Reset(BridgeConfigHandle) {
    return CONFIG_INVALID_HANDLE;
}
