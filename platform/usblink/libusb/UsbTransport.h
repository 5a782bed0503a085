// The thin USB seam under the CP210x bridge library: enumeration, open/claim, control and bulk
// transfers, close. libusb stands behind it in the programs, a recording fake in the tests.
#pragma once

#include <cstdint>
#include <string>
#include <vector>

// Outcome of one transport call.
enum class UsbResult {
    OK,
    TIMEOUT,    // nothing (or not everything) moved within the time limit
    NO_DEVICE,  // the device has gone (unplugged) or was never there
    STALL,      // the device refused the request
    ACCESS,     // no permission to open the device node
    BUSY,       // the interface is claimed elsewhere
    FAILED,     // any other failure
};

struct UsbEndpointInfo {
    std::uint8_t address = 0;     // bit 7 set for IN
    std::uint8_t attributes = 0;  // bits 0-1: transfer type, 2 = bulk
    std::uint16_t maxPacketSize = 0;
};

// First alternate setting of one interface of the active configuration.
struct UsbInterfaceInfo {
    std::uint8_t number = 0;
    std::uint8_t interfaceClass = 0;
    std::uint8_t interfaceSubClass = 0;
    std::uint8_t interfaceProtocol = 0;
    std::vector<UsbEndpointInfo> endpoints;
};

// One attached device as enumeration sees it. bus and address identify it while it stays
// plugged in; ports is the hub port path from the root hub.
struct UsbDeviceInfo {
    std::uint8_t bus = 0;
    std::uint8_t address = 0;
    std::vector<std::uint8_t> ports;
    std::uint16_t vid = 0;
    std::uint16_t pid = 0;
    std::uint8_t deviceClass = 0;
    std::uint8_t productIndex = 0;  // string descriptor indices; 0 = none
    std::uint8_t serialIndex = 0;
    std::vector<UsbInterfaceInfo> interfaces;
};

// Setup packet of a control transfer; the data stage direction follows bit 7 of requestType.
struct UsbSetup {
    std::uint8_t requestType = 0;
    std::uint8_t request = 0;
    std::uint16_t value = 0;
    std::uint16_t index = 0;
};

using UsbDeviceId = int;

// Contract: one thread only. Every transfer blocks at most timeoutMs (always > 0) and reports in
// `transferred` what moved even when it fails, as bytes may move before a timeout. Open claims
// the interface, detaching a kernel driver bound to it; Close releases the interface, gives a
// detached driver its interface back and forgets the id, also for a device that has gone.
class IUsbTransport {
public:
    virtual ~IUsbTransport() = default;

    // Every attached device, with its descriptors; no device is opened.
    virtual UsbResult Enumerate(std::vector<UsbDeviceInfo>& devices) = 0;
    // String descriptor `index` of a device in UTF-16 (first language the device offers).
    virtual UsbResult ReadString(const UsbDeviceInfo& device, std::uint8_t index,
                                 std::u16string& text) = 0;
    virtual UsbResult Open(const UsbDeviceInfo& device, std::uint8_t interfaceNumber,
                           UsbDeviceId& id) = 0;
    virtual UsbResult Control(UsbDeviceId id, const UsbSetup& setup, std::uint8_t* data,
                              std::uint16_t length, std::uint32_t timeoutMs,
                              std::uint16_t& transferred) = 0;
    virtual UsbResult BulkIn(UsbDeviceId id, std::uint8_t endpoint, std::uint8_t* buffer,
                             std::uint32_t length, std::uint32_t timeoutMs,
                             std::uint32_t& transferred) = 0;
    virtual UsbResult BulkOut(UsbDeviceId id, std::uint8_t endpoint, const std::uint8_t* buffer,
                              std::uint32_t length, std::uint32_t timeoutMs,
                              std::uint32_t& transferred) = 0;
    virtual void Close(UsbDeviceId id) = 0;
};
