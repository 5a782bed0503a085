// The narrow USB transport the CP210x configuration library works through: list the bridge chips,
// open one, exchange control transfers with it, reset its port. libusb stands behind it in the
// program, a recording fake in tests.
#pragma once

#include <cstddef>
#include <cstdint>
#include <memory>
#include <optional>
#include <span>
#include <string>
#include <vector>

// Outcome of a transport call.
enum UsbTransportResult : int {
    USB_RESULT_OK = 0,
    USB_RESULT_GONE,           // the device is no longer on the bus (unplugged)
    USB_RESULT_ACCESS_DENIED,  // no permission to open the device node
    USB_RESULT_STALLED,        // the chip refused the request
    USB_RESULT_TIMED_OUT,      // the chip did not answer in time
    USB_RESULT_FAILED,         // any other failure of the host stack
    USB_RESULT_REENUMERATED,   // Reset only: the chip came back as a new device; the handle is dead
};

// A bridge chip on the bus, as seen when the list was taken.
struct UsbBridgeEntry {
    std::string location;  // bus and port path ("1-1.4"): stable while the chip stays plugged in
    std::uint16_t vid = 0;
    std::uint16_t pid = 0;
    // The product and serial number string descriptors, when they could be read.
    std::optional<std::u16string> product;
    std::optional<std::u16string> serial;
};

// Setup packet of a control transfer; wLength is the size of the data span given with it.
struct UsbSetup {
    std::uint8_t requestType = 0;
    std::uint8_t request = 0;
    std::uint16_t value = 0;
    std::uint16_t index = 0;
};

// One open chip. Destroying it closes the device. Calls block until the chip answered or the
// transport's own time limit passed.
class IUsbConfigDevice {
public:
    virtual ~IUsbConfigDevice() = default;
    // Sends setup with data (host to device) or fills data (device to host, by the direction bit
    // of requestType); transferred receives the number of bytes moved.
    virtual int Control(const UsbSetup& setup, std::span<std::uint8_t> data,
                        std::size_t* transferred) = 0;
    // Port reset: the chip re-reads its stored configuration and enumerates again.
    virtual int Reset() = 0;
};

// The bus. Called from one thread only.
class IUsbConfigTransport {
public:
    virtual ~IUsbConfigTransport() = default;
    // The CP210x chips plugged in, in a stable order (by location).
    virtual int ListBridges(std::vector<UsbBridgeEntry>* bridges) = 0;
    virtual int Open(const std::string& location, std::unique_ptr<IUsbConfigDevice>* device) = 0;
};
