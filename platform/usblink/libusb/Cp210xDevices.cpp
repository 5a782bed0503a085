// Recognising CP210x bridges among the attached devices, their order and their texts.
#include "platform/usblink/libusb/Cp210xDevices.h"

#include <algorithm>
#include <cstdio>
#include <optional>
#include <tuple>


namespace {

constexpr std::uint16_t SILABS_VID = 0x10C4;
// Default and "Windows Update" PIDs of the CP2101-4, CP2102N, CP2105 and CP2108.
constexpr std::uint16_t SILABS_CP210X_PIDS[] = {0xEA60, 0xEA61, 0xEA63, 0xEA70,
                                                0xEA71, 0xEA7A, 0xEA7B};

constexpr std::uint8_t CLASS_PER_INTERFACE = 0x00;
constexpr std::uint8_t CLASS_VENDOR = 0xFF;
constexpr std::uint8_t TRANSFER_TYPE_MASK = 0x03;
constexpr std::uint8_t TRANSFER_BULK = 0x02;
constexpr std::uint8_t DIRECTION_IN = 0x80;
constexpr std::uint8_t SINGLE_UART_IN = 0x81;
constexpr std::uint8_t SINGLE_UART_OUT = 0x01;
constexpr std::uint16_t SINGLE_UART_PACKET = 64;

bool IsBulk(const UsbEndpointInfo& endpoint) {
    return (endpoint.attributes & TRANSFER_TYPE_MASK) == TRANSFER_BULK;
}

bool IsSilabsCp210x(const UsbDeviceInfo& device) {
    return device.vid == SILABS_VID &&
           std::find(std::begin(SILABS_CP210X_PIDS), std::end(SILABS_CP210X_PIDS), device.pid) !=
               std::end(SILABS_CP210X_PIDS);
}

// A vendor-class interface with exactly one bulk IN and one bulk OUT endpoint, as the UART.
std::optional<Cp210xDevice> UartOf(const UsbDeviceInfo& device, const UsbInterfaceInfo& uart) {
    if (uart.interfaceClass != CLASS_VENDOR || uart.endpoints.size() != 2) {
        return std::nullopt;
    }
    Cp210xDevice found{device, uart.number, 0, 0};
    for (const UsbEndpointInfo& endpoint : uart.endpoints) {
        if (!IsBulk(endpoint)) {
            return std::nullopt;
        }
        ((endpoint.address & DIRECTION_IN) != 0 ? found.inEndpoint : found.outEndpoint) =
            endpoint.address;
    }
    if (found.inEndpoint == 0 || found.outEndpoint == 0) {
        return std::nullopt;
    }
    return found;
}

bool LooksLikeSingleUart(const UsbDeviceInfo& device) {
    if (device.deviceClass != CLASS_PER_INTERFACE || device.interfaces.size() != 1) {
        return false;
    }
    const UsbInterfaceInfo& uart = device.interfaces.front();
    if (!UartOf(device, uart)) {
        return false;
    }
    for (const UsbEndpointInfo& endpoint : uart.endpoints) {
        if ((endpoint.address != SINGLE_UART_IN && endpoint.address != SINGLE_UART_OUT) ||
            endpoint.maxPacketSize != SINGLE_UART_PACKET) {
            return false;
        }
    }
    return true;
}

}  // namespace

std::vector<Cp210xDevice> FindCp210xDevices(const std::vector<UsbDeviceInfo>& devices) {
    std::vector<Cp210xDevice> found;
    for (const UsbDeviceInfo& device : devices) {
        if (!IsSilabsCp210x(device) && !LooksLikeSingleUart(device)) {
            continue;
        }
        for (const UsbInterfaceInfo& uart : device.interfaces) {
            if (std::optional<Cp210xDevice> bridge = UartOf(device, uart)) {
                found.push_back(*bridge);
                break;
            }
        }
    }
    std::stable_sort(found.begin(), found.end(), [](const Cp210xDevice& a, const Cp210xDevice& b) {
        return std::tie(a.usb.bus, a.usb.ports) < std::tie(b.usb.bus, b.usb.ports);
    });
    return found;
}

std::string LinkName(const UsbDeviceInfo& device) {
    std::string name = "usb:" + std::to_string(device.bus);
    for (std::size_t i = 0; i < device.ports.size(); ++i) {
        name += (i == 0 ? "-" : ".") + std::to_string(device.ports[i]);
    }
    return name;
}

std::string NarrowDescriptor(const std::u16string& text) {
    std::string narrow;
    narrow.reserve(text.size());
    for (const char16_t unit : text) {
        narrow.push_back(unit <= 0xFF ? static_cast<char>(unit) : '?');
    }
    return narrow;
}
