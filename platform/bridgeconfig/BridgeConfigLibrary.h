// The bridge configuration library: the seventeen operations that rewrite the USB configuration
// held in the dongle's CP210x bridge chip. A simulated implementation and one that sees no device
// stand behind it; a libusb implementation takes its place beside them (BridgeConfigFactory).
#pragma once

#include <cstdint>

// Opaque handle of an open device; all bits set means that no device is open.
using BridgeConfigHandle = std::uintptr_t;
constexpr BridgeConfigHandle INVALID_CONFIG_HANDLE = ~BridgeConfigHandle{0};

// Library status codes. 0 is success; every other value is a failure.
enum BridgeConfigStatus : int {
    CONFIG_SUCCESS = 0x00,
    CONFIG_INVALID_HANDLE = 0x01,
    CONFIG_INVALID_PARAMETER = 0x02,
    CONFIG_DEVICE_IO_FAILED = 0x03,
    CONFIG_FUNCTION_NOT_SUPPORTED = 0x04,
    CONFIG_GLOBAL_DATA_ERROR = 0x05,
    CONFIG_FILE_ERROR = 0x06,
    CONFIG_COMMAND_FAILED = 0x08,
    CONFIG_INVALID_ACCESS_TYPE = 0x09,
    CONFIG_DEVICE_NOT_FOUND = 0xFF,
};

// What GetProductString returns for a device.
enum BridgeConfigStringKind : std::uint32_t {
    CONFIG_RETURN_SERIAL_NUMBER = 0x00,
    CONFIG_RETURN_DESCRIPTION = 0x01,
    CONFIG_RETURN_FULL_PATH = 0x02,
};

// Buffer sizes the callers provide.
constexpr std::uint32_t CONFIG_PRODUCT_STRING_SIZE = 256;
constexpr std::uint32_t CONFIG_SERIAL_NUMBER_SIZE = 63;

// GPIO port configuration of the chip. On the wire and in memory it is seven bytes: three 16-bit
// words stored little-endian and one byte.
struct BridgePortConfig {
    std::uint16_t mode = 0;              // pin mode mask (1 = push-pull)
    std::uint16_t resetLatch = 0;        // pin latch values after reset
    std::uint16_t suspendLatch = 0;      // pin latch values in suspend
    std::uint8_t enhancedFunctions = 0;  // enhanced-function flags
};

// Contract shared by every implementation:
// - every operation returns a BridgeConfigStatus; out-parameters are written only on success;
// - device indices are 0-based in library order;
// - Set operations store the new value in the chip; the chip shows it on the bus only after Reset
//   (until then the Get operations still report the old values);
// - texts are 8-bit; the isAscii flag 1 says they are plain bytes, not UTF-16;
// - operations block until the chip has answered; called from one thread only.
class IBridgeConfigLibrary {
public:
    virtual ~IBridgeConfigLibrary() = default;

    virtual int GetNumDevices(std::uint32_t* numDevices) = 0;
    // Writes a zero-terminated 8-bit string of at most 255 characters into a 256-byte buffer.
    virtual int GetProductString(std::uint32_t deviceIndex, char* buffer, std::uint32_t kind) = 0;
    virtual int Open(std::uint32_t deviceIndex, BridgeConfigHandle* handle) = 0;
    virtual int Close(BridgeConfigHandle handle) = 0;

    virtual int GetDeviceVid(BridgeConfigHandle handle, std::uint16_t* vid) = 0;
    virtual int GetDevicePid(BridgeConfigHandle handle, std::uint16_t* pid) = 0;
    // Writes at most 63 bytes, not zero-terminated, and their count.
    virtual int GetDeviceSerialNumber(BridgeConfigHandle handle, char* buffer, std::uint8_t* length,
                                      bool isAscii) = 0;
    virtual int GetMaxPower(BridgeConfigHandle handle, std::uint8_t* power) = 0;
    virtual int GetDeviceVersion(BridgeConfigHandle handle, std::uint16_t* version) = 0;

    virtual int SetMaxPower(BridgeConfigHandle handle, std::uint8_t power) = 0;
    virtual int SetDeviceVersion(BridgeConfigHandle handle, std::uint16_t version) = 0;
    virtual int SetProductString(BridgeConfigHandle handle, const char* text, std::uint8_t length,
                                 bool isAscii) = 0;
    virtual int SetPortConfig(BridgeConfigHandle handle, const BridgePortConfig* config) = 0;
    virtual int SetVid(BridgeConfigHandle handle, std::uint16_t vid) = 0;
    virtual int SetPid(BridgeConfigHandle handle, std::uint16_t pid) = 0;
    virtual int SetSerialNumber(BridgeConfigHandle handle, const char* text, std::uint8_t length,
                                bool isAscii) = 0;
    // The chip re-reads its configuration and enumerates again with the stored values.
    virtual int Reset(BridgeConfigHandle handle) = 0;
};
