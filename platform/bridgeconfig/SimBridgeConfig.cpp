// The simulated bridge chip's configuration, kept in the simulator's state file.
#include "platform/bridgeconfig/SimBridgeConfig.h"

#include <algorithm>
#include <cstring>
#include <vector>

namespace {

nlohmann::json Identity(const nlohmann::json& entry) {
    nlohmann::json identity = entry;
    if (identity.is_object()) {
        identity.erase(SIM_KEY_TARGET);
    }
    return identity;
}

// Copies text, cut to the buffer's size less the terminating zero.
void CopyString(const std::string& text, char* buffer) {
    const std::size_t length = std::min<std::size_t>(text.size(), CONFIG_PRODUCT_STRING_SIZE - 1);
    std::memcpy(buffer, text.data(), length);
    buffer[length] = '\0';
}

}  // namespace

CSimBridgeConfig::CSimBridgeConfig(const std::string& stateFilePath) : stateFile(stateFilePath) {}

int CSimBridgeConfig::Begin(const char* operation) {
    stateFile.Refresh();
    const nlohmann::json& root = stateFile.Root();
    const auto faults = root.find(SIM_KEY_CONFIG_FAULTS);
    if (faults == root.end() || !faults->is_object()) {
        return CONFIG_SUCCESS;
    }
    const auto fault = faults->find(operation);
    return fault != faults->end() && fault->is_number_integer() ? fault->get<int>()
                                                                : CONFIG_SUCCESS;
}

std::vector<std::size_t> CSimBridgeConfig::Devices() const {
    std::vector<std::size_t> devices;
    for (std::size_t i = 0; i < stateFile.DongleCount(); ++i) {
        if (stateFile.Dongle(i).attached) {
            devices.push_back(i);
        }
    }
    return devices;
}

int CSimBridgeConfig::Find(BridgeConfigHandle handle, OpenDevice*& device) {
    const auto found = handles.find(handle);
    if (found == handles.end()) {
        return CONFIG_INVALID_HANDLE;
    }
    const nlohmann::json& entry = stateFile.RawDongle(found->second.fileIndex);
    if (Identity(entry) != found->second.identity || !ParseDongle(entry).attached) {
        return CONFIG_DEVICE_IO_FAILED;
    }
    device = &found->second;
    return CONFIG_SUCCESS;
}

int CSimBridgeConfig::Start(const char* operation, BridgeConfigHandle handle, OpenDevice*& device) {
    const int status = Begin(operation);
    return status != CONFIG_SUCCESS ? status : Find(handle, device);
}

int CSimBridgeConfig::GetNumDevices(std::uint32_t* numDevices) {
    const int status = Begin("GetNumDevices");
    if (status == CONFIG_SUCCESS) {
        *numDevices = static_cast<std::uint32_t>(Devices().size());
    }
    return status;
}

int CSimBridgeConfig::GetProductString(std::uint32_t deviceIndex, char* buffer,
                                       std::uint32_t kind) {
    const int status = Begin("GetProductString");
    if (status != CONFIG_SUCCESS) {
        return status;
    }
    const std::vector<std::size_t> devices = Devices();
    if (deviceIndex >= devices.size()) {
        return CONFIG_DEVICE_NOT_FOUND;
    }
    const SimDongleConfig config = stateFile.Dongle(devices[deviceIndex]);
    switch (kind) {
        case CONFIG_RETURN_SERIAL_NUMBER:
            CopyString(config.serial, buffer);
            return CONFIG_SUCCESS;
        case CONFIG_RETURN_DESCRIPTION:
            CopyString(config.product, buffer);
            return CONFIG_SUCCESS;
        case CONFIG_RETURN_FULL_PATH:
            CopyString(stateFile.Path() + "#" + std::to_string(devices[deviceIndex]), buffer);
            return CONFIG_SUCCESS;
        default:
            return CONFIG_INVALID_PARAMETER;
    }
}

int CSimBridgeConfig::Open(std::uint32_t deviceIndex, BridgeConfigHandle* handle) {
    const int status = Begin("Open");
    if (status != CONFIG_SUCCESS) {
        return status;
    }
    const std::vector<std::size_t> devices = Devices();
    if (deviceIndex >= devices.size()) {
        return CONFIG_DEVICE_NOT_FOUND;
    }
    const nlohmann::json& entry = stateFile.RawDongle(devices[deviceIndex]);
    const BridgeConfigHandle opened = nextHandle++;
    handles[opened] = OpenDevice{devices[deviceIndex], Identity(entry), ParseDongle(entry)};
    *handle = opened;
    return CONFIG_SUCCESS;
}

int CSimBridgeConfig::Close(BridgeConfigHandle handle) {
    const int status = Begin("Close");
    if (status != CONFIG_SUCCESS) {
        return status;
    }
    // Closing needs only the handle: it succeeds even when the dongle went away meanwhile.
    return handles.erase(handle) == 1 ? CONFIG_SUCCESS : CONFIG_INVALID_HANDLE;
}

// Read-backs report the configuration the dongle enumerated with, not values stored since.
int CSimBridgeConfig::GetDeviceVid(BridgeConfigHandle handle, std::uint16_t* vid) {
    return WithDevice("GetDeviceVid", handle,
                      [&](OpenDevice& device) { *vid = ParseDongle(device.identity).vid; });
}

int CSimBridgeConfig::GetDevicePid(BridgeConfigHandle handle, std::uint16_t* pid) {
    return WithDevice("GetDevicePid", handle,
                      [&](OpenDevice& device) { *pid = ParseDongle(device.identity).pid; });
}

int CSimBridgeConfig::GetDeviceSerialNumber(BridgeConfigHandle handle, char* buffer,
                                            std::uint8_t* length, bool isAscii) {
    return WithDevice("GetDeviceSerialNumber", handle, [&](OpenDevice& device) -> int {
        if (!isAscii) {
            return CONFIG_INVALID_PARAMETER;  // the simulated chip keeps 8-bit texts only
        }
        const std::string serial = ParseDongle(device.identity).serial;
        const std::size_t count = std::min<std::size_t>(serial.size(), CONFIG_SERIAL_NUMBER_SIZE);
        std::memcpy(buffer, serial.data(), count);
        *length = static_cast<std::uint8_t>(count);
        return CONFIG_SUCCESS;
    });
}

int CSimBridgeConfig::GetMaxPower(BridgeConfigHandle handle, std::uint8_t* power) {
    return WithDevice("GetMaxPower", handle,
                      [&](OpenDevice& device) { *power = ParseDongle(device.identity).power; });
}

int CSimBridgeConfig::GetDeviceVersion(BridgeConfigHandle handle, std::uint16_t* version) {
    return WithDevice("GetDeviceVersion", handle,
                      [&](OpenDevice& device) { *version = ParseDongle(device.identity).version; });
}

int CSimBridgeConfig::SetMaxPower(BridgeConfigHandle handle, std::uint8_t power) {
    return WithDevice("SetMaxPower", handle,
                      [&](OpenDevice& device) { device.stored.power = power; });
}

int CSimBridgeConfig::SetDeviceVersion(BridgeConfigHandle handle, std::uint16_t version) {
    return WithDevice("SetDeviceVersion", handle,
                      [&](OpenDevice& device) { device.stored.version = version; });
}

int CSimBridgeConfig::SetProductString(BridgeConfigHandle handle, const char* text,
                                       std::uint8_t length, bool isAscii) {
    return WithDevice("SetProductString", handle, [&](OpenDevice& device) -> int {
        if (!isAscii || length > SIM_MAX_PRODUCT_LENGTH) {
            return CONFIG_INVALID_PARAMETER;
        }
        device.stored.product.assign(text, length);
        return CONFIG_SUCCESS;
    });
}

int CSimBridgeConfig::SetPortConfig(BridgeConfigHandle handle, const BridgePortConfig* config) {
    return WithDevice("SetPortConfig", handle, [&](OpenDevice& device) {
        // The chip's layout: three little-endian words and the enhanced-function byte.
        SimPortConfig& bytes = device.stored.portConfig;
        std::size_t at = 0;
        for (const std::uint16_t word : {config->mode, config->resetLatch, config->suspendLatch}) {
            bytes[at++] = static_cast<std::uint8_t>(word & 0xFF);
            bytes[at++] = static_cast<std::uint8_t>(word >> 8);
        }
        bytes[at] = config->enhancedFunctions;
    });
}

int CSimBridgeConfig::SetVid(BridgeConfigHandle handle, std::uint16_t vid) {
    return WithDevice("SetVid", handle, [&](OpenDevice& device) { device.stored.vid = vid; });
}

int CSimBridgeConfig::SetPid(BridgeConfigHandle handle, std::uint16_t pid) {
    return WithDevice("SetPid", handle, [&](OpenDevice& device) { device.stored.pid = pid; });
}

int CSimBridgeConfig::SetSerialNumber(BridgeConfigHandle handle, const char* text,
                                      std::uint8_t length, bool isAscii) {
    return WithDevice("SetSerialNumber", handle, [&](OpenDevice& device) -> int {
        if (!isAscii || length > SIM_MAX_SERIAL_LENGTH) {
            return CONFIG_INVALID_PARAMETER;
        }
        device.stored.serial.assign(text, length);
        return CONFIG_SUCCESS;
    });
}

int CSimBridgeConfig::Reset(BridgeConfigHandle handle) {
    OpenDevice* device = nullptr;
    const int status = Start("Reset", handle, device);
    if (status != CONFIG_SUCCESS) {
        return status;
    }
    // The stored values go into the entry; the target behind the dongle keeps its own state.
    bool unchanged = false;
    nlohmann::json written;
    const int result = stateFile.ModifyDongle(device->fileIndex, [&](nlohmann::json& entry) {
        unchanged = Identity(entry) == device->identity;
        if (!unchanged) {
            return;
        }
        SimDongleConfig config = device->stored;
        config.target = ParseDongle(entry).target;
        StoreDongle(config, entry);
        written = entry;
    });
    if (result != SIM_FILE_OK || !unchanged) {
        return CONFIG_DEVICE_IO_FAILED;
    }
    // The dongle enumerates again with the new values; the handle stays usable for Close.
    device->identity = Identity(written);
    stateFile.Refresh();
    return CONFIG_SUCCESS;
}
