// A bridge configuration library that records every call with its arguments and the clock time,
// and answers each operation with a status chosen by the test.
#pragma once

#include <cstdint>
#include <map>
#include <string>
#include <vector>

#include "platform/bridgeconfig/BridgeConfigLibrary.h"

class CRecordingBridgeConfig final : public IBridgeConfigLibrary {
public:
    // The handle Open hands out; recorded as "h", the invalid handle as "invalid".
    static constexpr BridgeConfigHandle OPEN_HANDLE = 7;

    std::uint32_t numDevices = 1;
    // Status per operation name; operations not listed succeed.
    std::map<std::string, int> statusOf;

    struct Call {
        std::string text;
        std::int64_t atMillis;
    };
    std::vector<Call> calls;

    std::vector<std::string> CallTexts() const;

    int GetNumDevices(std::uint32_t* count) override;
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

private:
    int Record(const std::string& name, const std::string& arguments);
};
