// Call recording of the fake configuration library.
#include "tests/bridgeupdate/RecordingBridgeConfig.h"

#include <cstdio>

#include "platform/clock/Clock.h"

namespace {

std::string Hex(unsigned value, int digits) {
    char text[16];
    std::snprintf(text, sizeof text, "%0*X", digits, value);
    return text;
}

std::string HandleText(BridgeConfigHandle handle) {
    if (handle == CRecordingBridgeConfig::OPEN_HANDLE) {
        return "h";
    }
    return handle == INVALID_CONFIG_HANDLE ? "invalid" : std::to_string(handle);
}

std::string Text(const char* text, std::uint8_t length, bool isAscii) {
    return "\"" + std::string(text, length) + "\" " + std::to_string(length) + " " +
           std::to_string(isAscii ? 1 : 0);
}

}  // namespace

std::vector<std::string> CRecordingBridgeConfig::CallTexts() const {
    std::vector<std::string> texts;
    for (const Call& call : calls) {
        texts.push_back(call.text);
    }
    return texts;
}

int CRecordingBridgeConfig::Record(const std::string& name, const std::string& arguments) {
    calls.push_back({arguments.empty() ? name : name + " " + arguments, TheClock().NowMillis()});
    const auto found = statusOf.find(name);
    return found == statusOf.end() ? CONFIG_SUCCESS : found->second;
}

int CRecordingBridgeConfig::GetNumDevices(std::uint32_t* count) {
    const int status = Record("GetNumDevices", "");
    if (status == CONFIG_SUCCESS) {
        *count = numDevices;
    }
    return status;
}

int CRecordingBridgeConfig::GetProductString(std::uint32_t deviceIndex, char* buffer,
                                             std::uint32_t kind) {
    const int status =
        Record("GetProductString", std::to_string(deviceIndex) + " " + std::to_string(kind));
    if (status == CONFIG_SUCCESS) {
        buffer[0] = '\0';
    }
    return status;
}

int CRecordingBridgeConfig::Open(std::uint32_t deviceIndex, BridgeConfigHandle* handle) {
    const int status = Record("Open", std::to_string(deviceIndex));
    if (status == CONFIG_SUCCESS) {
        *handle = OPEN_HANDLE;
    }
    return status;
}

int CRecordingBridgeConfig::Close(BridgeConfigHandle handle) {
    return Record("Close", HandleText(handle));
}

int CRecordingBridgeConfig::GetDeviceVid(BridgeConfigHandle handle, std::uint16_t*) {
    return Record("GetDeviceVid", HandleText(handle));
}

int CRecordingBridgeConfig::GetDevicePid(BridgeConfigHandle handle, std::uint16_t*) {
    return Record("GetDevicePid", HandleText(handle));
}

int CRecordingBridgeConfig::GetDeviceSerialNumber(BridgeConfigHandle handle, char*, std::uint8_t*,
                                                  bool isAscii) {
    return Record("GetDeviceSerialNumber", HandleText(handle) + " " + std::to_string(isAscii));
}

int CRecordingBridgeConfig::GetMaxPower(BridgeConfigHandle handle, std::uint8_t*) {
    return Record("GetMaxPower", HandleText(handle));
}

int CRecordingBridgeConfig::GetDeviceVersion(BridgeConfigHandle handle, std::uint16_t*) {
    return Record("GetDeviceVersion", HandleText(handle));
}

int CRecordingBridgeConfig::SetMaxPower(BridgeConfigHandle handle, std::uint8_t power) {
    return Record("SetMaxPower", HandleText(handle) + " " + std::to_string(power));
}

int CRecordingBridgeConfig::SetDeviceVersion(BridgeConfigHandle handle, std::uint16_t version) {
    return Record("SetDeviceVersion", HandleText(handle) + " " + Hex(version, 4));
}

int CRecordingBridgeConfig::SetProductString(BridgeConfigHandle handle, const char* text,
                                             std::uint8_t length, bool isAscii) {
    return Record("SetProductString", HandleText(handle) + " " + Text(text, length, isAscii));
}

int CRecordingBridgeConfig::SetPortConfig(BridgeConfigHandle handle,
                                          const BridgePortConfig* config) {
    // Recorded as the seven bytes of the chip's layout: three little-endian words and a byte.
    std::string bytes;
    for (const unsigned word : {config->mode, config->resetLatch, config->suspendLatch}) {
        bytes += " " + Hex(word & 0xFF, 2) + " " + Hex(word >> 8, 2);
    }
    bytes += " " + Hex(config->enhancedFunctions, 2);
    return Record("SetPortConfig", HandleText(handle) + bytes);
}

int CRecordingBridgeConfig::SetVid(BridgeConfigHandle handle, std::uint16_t vid) {
    return Record("SetVid", HandleText(handle) + " " + Hex(vid, 4));
}

int CRecordingBridgeConfig::SetPid(BridgeConfigHandle handle, std::uint16_t pid) {
    return Record("SetPid", HandleText(handle) + " " + Hex(pid, 4));
}

int CRecordingBridgeConfig::SetSerialNumber(BridgeConfigHandle handle, const char* text,
                                            std::uint8_t length, bool isAscii) {
    return Record("SetSerialNumber", HandleText(handle) + " " + Text(text, length, isAscii));
}

int CRecordingBridgeConfig::Reset(BridgeConfigHandle handle) {
    return Record("Reset", HandleText(handle));
}
