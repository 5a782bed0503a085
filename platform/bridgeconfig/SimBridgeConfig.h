// The bridge configuration library over the simulator's state file: the dongles plugged in
// there, in file order, are the devices; their vid, pid, product, serial, power, version and
// port_config keys are the chip's configuration. New values are held per open handle and written
// into the state file by Reset, when the chip enumerates again with them, so that the simulated
// link then reports them.
#pragma once

#include <cstdint>
#include <map>
#include <string>
#include <type_traits>

#include "platform/bridgeconfig/BridgeConfigLibrary.h"
#include "sim/SimStateFile.h"

// Top-level key of the state file holding the fault switches: an object from operation name
// ("GetNumDevices", "Open", "SetVid", ...) to the status that operation returns, doing nothing.
inline constexpr const char* SIM_KEY_CONFIG_FAULTS = "config_faults";

// Longest texts the simulated chip stores, in characters (its string descriptors' limits).
constexpr std::size_t SIM_MAX_PRODUCT_LENGTH = 126;
constexpr std::size_t SIM_MAX_SERIAL_LENGTH = 63;

class CSimBridgeConfig final : public IBridgeConfigLibrary {
public:
    explicit CSimBridgeConfig(const std::string& stateFilePath);

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

private:
    struct OpenDevice {
        std::size_t fileIndex = 0;
        // The entry as it was when opened, without its target: any other change means that the
        // dongle was unplugged or swapped meanwhile.
        nlohmann::json identity;
        // The chip's stored configuration, shown on the bus from the next Reset.
        SimDongleConfig stored;
    };

    // Re-reads the state file; returns the status a fault switch sets for operation, else 0.
    int Begin(const char* operation);
    // The file indices of the dongles plugged in, in library order.
    std::vector<std::size_t> Devices() const;
    // The open device of handle when it is still plugged in; its status otherwise.
    int Find(BridgeConfigHandle handle, OpenDevice*& device);
    // Begin and Find together, for the operations on an open device.
    int Start(const char* operation, BridgeConfigHandle handle, OpenDevice*& device);
    // Runs action on the open device of handle once Start lets the operation go on; returns
    // Start's status, or the action's own when it returns one.
    template <class Action>
    int WithDevice(const char* operation, BridgeConfigHandle handle, Action&& action) {
        OpenDevice* device = nullptr;
        const int status = Start(operation, handle, device);
        if (status != CONFIG_SUCCESS) {
            return status;
        }
        if constexpr (std::is_void_v<std::invoke_result_t<Action, OpenDevice&>>) {
            action(*device);
            return CONFIG_SUCCESS;
        } else {
            return action(*device);
        }
    }

    CSimStateFile stateFile;
    std::map<BridgeConfigHandle, OpenDevice> handles;
    BridgeConfigHandle nextHandle = 1;
};
