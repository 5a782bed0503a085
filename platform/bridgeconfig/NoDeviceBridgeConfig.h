// A bridge configuration library that sees no device: what the program uses where no real
// library is available, so that every run ends in "no device" instead of touching anything.
#pragma once

#include "platform/bridgeconfig/BridgeConfigLibrary.h"

class CNoDeviceBridgeConfig final : public IBridgeConfigLibrary {
public:
    int GetNumDevices(std::uint32_t* numDevices) override;
    int GetProductString(std::uint32_t deviceIndex, char* buffer, std::uint32_t kind) override;
    int Open(std::uint32_t deviceIndex, BridgeConfigHandle* handle) override;
    int Close(BridgeConfigHandle handle) override;
    int GetDeviceVid(BridgeConfigHandle handle, std::uint16_t* vid) override;
    int GetDevicePid(BridgeConfigHandle handle, std::uint16_t* pid) override;
    int GetDeviceSerialNumber(BridgeConfigHandle handle, char* buffer, std::uint8_t* length,
                              bool isAscii) override;
    int GetMaxPower(BridgeConfigHandle handle, std::uint8_t* power) override;
    int GetDeviceVersion(BridgeConfigHandle handle, std::uint16_t* version) override;
    int SetMaxPower(BridgeConfigHandle handle, std::uint8_t power) override;
    int SetDeviceVersion(BridgeConfigHandle handle, std::uint16_t version) override;
    int SetProductString(BridgeConfigHandle handle, const char* text, std::uint8_t length,
                         bool isAscii) override;
    int SetPortConfig(BridgeConfigHandle handle, const BridgePortConfig* config) override;
    int SetVid(BridgeConfigHandle handle, std::uint16_t vid) override;
    int SetPid(BridgeConfigHandle handle, std::uint16_t pid) override;
    int SetSerialNumber(BridgeConfigHandle handle, const char* text, std::uint8_t length,
                        bool isAscii) override;
    int Reset(BridgeConfigHandle handle) override;
};
