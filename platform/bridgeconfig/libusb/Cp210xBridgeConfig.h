// The bridge configuration library for real CP210x chips: each operation becomes the chip's
// customisation request or a read of its standard descriptors, sent through a USB transport.
#pragma once

#include <cstdint>
#include <map>
#include <memory>
#include <span>
#include <string>

#include "platform/bridgeconfig/BridgeConfigLibrary.h"
#include "platform/bridgeconfig/libusb/UsbConfigTransport.h"

// Beyond the shared contract:
// - Get operations read the descriptors the chip enumerated with (so, until Reset, not the
//   values stored since);
// - texts are accepted as plain bytes only (isAscii 1); a UTF-16 text is refused as an invalid
//   parameter;
// - a VID or PID of 0, a power above 250 (2 mA units) and texts longer than the chip stores are
//   refused before anything is sent;
// - SetPortConfig never writes (the chip's write format is not known): it succeeds when the chip
//   already holds the requested configuration and answers "function not supported" otherwise;
// - after a Reset in which the chip came back as a new device, the handle serves only Close.
class CCp210xBridgeConfig final : public IBridgeConfigLibrary {
public:
    explicit CCp210xBridgeConfig(std::unique_ptr<IUsbConfigTransport> transport);

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
    struct OpenChip {
        std::unique_ptr<IUsbConfigDevice> device;
        bool reenumerated = false;  // the chip came back as a new device after Reset
    };

    // The chip of handle when it can still be talked to; its status otherwise.
    int Find(BridgeConfigHandle handle, IUsbConfigDevice*& device);
    // A device-to-host transfer that must deliver at least minimum bytes.
    static int Read(IUsbConfigDevice& device, const UsbSetup& setup, std::span<std::uint8_t> data,
                    std::size_t minimum, std::size_t* received);
    // A customisation request with its value in wIndex, or with data and wIndex 0.
    int Write(BridgeConfigHandle handle, std::uint16_t request, std::uint16_t index,
              std::span<std::uint8_t> data = {});
    static int ReadDeviceDescriptor(IUsbConfigDevice& device, std::span<std::uint8_t> descriptor);
    int ReadDescriptorWord(BridgeConfigHandle handle, std::size_t offset, std::uint16_t* value);
    int WriteText(BridgeConfigHandle handle, std::uint16_t request, const char* text,
                  std::uint8_t length, bool isAscii, std::size_t maxChars);
    // The product, serial or location text of a listed chip.
    int ListedText(std::uint32_t deviceIndex, std::uint32_t kind, std::string* text);

    std::unique_ptr<IUsbConfigTransport> transport;
    std::map<BridgeConfigHandle, OpenChip> handles;
    BridgeConfigHandle nextHandle = 1;
};
