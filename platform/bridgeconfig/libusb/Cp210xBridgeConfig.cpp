// The seventeen configuration operations mapped onto the CP210x's requests.
#include "platform/bridgeconfig/libusb/Cp210xBridgeConfig.h"

#include <algorithm>
#include <array>
#include <cstring>
#include <vector>

#include "platform/bridgeconfig/libusb/Cp210xStrings.h"
#include "platform/bridgeconfig/libusb/Cp210xWire.h"

namespace {

// Library status of each transport outcome. A chip that refuses a request failed the command;
// every other failure, an unplugged chip included, failed the device I/O.
constexpr std::array<std::pair<UsbTransportResult, int>, 7> RESULT_STATUS = {{
    {USB_RESULT_OK, CONFIG_SUCCESS},
    {USB_RESULT_GONE, CONFIG_DEVICE_IO_FAILED},
    {USB_RESULT_ACCESS_DENIED, CONFIG_DEVICE_IO_FAILED},
    {USB_RESULT_STALLED, CONFIG_COMMAND_FAILED},
    {USB_RESULT_TIMED_OUT, CONFIG_DEVICE_IO_FAILED},
    {USB_RESULT_FAILED, CONFIG_DEVICE_IO_FAILED},
    {USB_RESULT_REENUMERATED, CONFIG_DEVICE_IO_FAILED},
}};

int StatusOf(int result) {
    for (const auto& [transportResult, status] : RESULT_STATUS) {
        if (transportResult == result) {
            return status;
        }
    }
    return CONFIG_DEVICE_IO_FAILED;
}

std::uint16_t Word(std::span<const std::uint8_t> bytes, std::size_t offset) {
    return static_cast<std::uint16_t>(bytes[offset] | (bytes[offset + 1] << 8));
}

UsbSetup GetDescriptor(std::uint8_t type, std::uint8_t index, std::uint16_t language) {
    return {STANDARD_READ_TYPE, GET_DESCRIPTOR_REQUEST,
            static_cast<std::uint16_t>((type << 8) | index), language};
}

UsbSetup VendorRead(std::uint16_t request) {
    return {VENDOR_READ_TYPE, VENDOR_REQUEST, request, 0};
}

// Whether the chip's port configuration block holds config, read as little-endian words.
bool HoldsPortConfig(std::span<const std::uint8_t> block, const BridgePortConfig& config) {
    return Word(block, PORT_MODE_OFFSET) == config.mode &&
           Word(block, PORT_RESET_LATCH_OFFSET) == config.resetLatch &&
           Word(block, PORT_SUSPEND_LATCH_OFFSET) == config.suspendLatch &&
           block[PORT_ENHANCED_OFFSET] == config.enhancedFunctions;
}

}  // namespace

CCp210xBridgeConfig::CCp210xBridgeConfig(std::unique_ptr<IUsbConfigTransport> transport)
    : transport(std::move(transport)) {}

int CCp210xBridgeConfig::Find(BridgeConfigHandle handle, IUsbConfigDevice*& device) {
    const auto found = handles.find(handle);
    if (found == handles.end()) {
        return CONFIG_INVALID_HANDLE;
    }
    if (found->second.reenumerated) {
        return CONFIG_DEVICE_IO_FAILED;
    }
    device = found->second.device.get();
    return CONFIG_SUCCESS;
}

int CCp210xBridgeConfig::Read(IUsbConfigDevice& device, const UsbSetup& setup,
                              std::span<std::uint8_t> data, std::size_t minimum,
                              std::size_t* received) {
    std::size_t transferred = 0;
    const int result = device.Control(setup, data, &transferred);
    if (result != USB_RESULT_OK) {
        return StatusOf(result);
    }
    if (transferred < minimum || transferred > data.size()) {
        return CONFIG_DEVICE_IO_FAILED;
    }
    *received = transferred;
    return CONFIG_SUCCESS;
}

int CCp210xBridgeConfig::Write(BridgeConfigHandle handle, std::uint16_t request,
                               std::uint16_t index, std::span<std::uint8_t> data) {
    IUsbConfigDevice* device = nullptr;
    const int status = Find(handle, device);
    if (status != CONFIG_SUCCESS) {
        return status;
    }
    std::size_t transferred = 0;
    const int result =
        device->Control({VENDOR_WRITE_TYPE, VENDOR_REQUEST, request, index}, data, &transferred);
    if (result != USB_RESULT_OK) {
        return StatusOf(result);
    }
    return transferred == data.size() ? CONFIG_SUCCESS : CONFIG_DEVICE_IO_FAILED;
}

int CCp210xBridgeConfig::ReadDeviceDescriptor(IUsbConfigDevice& device,
                                              std::span<std::uint8_t> descriptor) {
    std::size_t received = 0;
    const int status = Read(device, GetDescriptor(DEVICE_DESCRIPTOR_TYPE, 0, 0), descriptor,
                            DEVICE_DESCRIPTOR_SIZE, &received);
    if (status == CONFIG_SUCCESS && descriptor[1] != DEVICE_DESCRIPTOR_TYPE) {
        return CONFIG_DEVICE_IO_FAILED;
    }
    return status;
}

int CCp210xBridgeConfig::ReadDescriptorWord(BridgeConfigHandle handle, std::size_t offset,
                                            std::uint16_t* value) {
    IUsbConfigDevice* device = nullptr;
    int status = value != nullptr ? Find(handle, device) : CONFIG_INVALID_PARAMETER;
    std::array<std::uint8_t, DEVICE_DESCRIPTOR_SIZE> descriptor{};
    if (status == CONFIG_SUCCESS) {
        status = ReadDeviceDescriptor(*device, descriptor);
    }
    if (status == CONFIG_SUCCESS) {
        *value = Word(descriptor, offset);
    }
    return status;
}

int CCp210xBridgeConfig::WriteText(BridgeConfigHandle handle, std::uint16_t request,
                                   const char* text, std::uint8_t length, bool isAscii,
                                   std::size_t maxChars) {
    if (!isAscii || length > maxChars || (text == nullptr && length > 0)) {
        return CONFIG_INVALID_PARAMETER;
    }
    std::vector<std::uint8_t> descriptor =
        EncodeStringDescriptor(std::string_view(length > 0 ? text : "", length));
    return Write(handle, request, 0, descriptor);
}

int CCp210xBridgeConfig::ListedText(std::uint32_t deviceIndex, std::uint32_t kind,
                                    std::string* text) {
    std::vector<UsbBridgeEntry> bridges;
    const int result = transport->ListBridges(&bridges);
    if (result != USB_RESULT_OK) {
        return StatusOf(result);
    }
    if (deviceIndex >= bridges.size()) {
        return CONFIG_DEVICE_NOT_FOUND;
    }
    const UsbBridgeEntry& bridge = bridges[deviceIndex];
    const std::optional<std::u16string>* stored = nullptr;
    switch (kind) {
        case CONFIG_RETURN_SERIAL_NUMBER:
            stored = &bridge.serial;
            break;
        case CONFIG_RETURN_DESCRIPTION:
            stored = &bridge.product;
            break;
        case CONFIG_RETURN_FULL_PATH:
            *text = bridge.location;
            return CONFIG_SUCCESS;
        default:
            return CONFIG_INVALID_PARAMETER;
    }
    if (!stored->has_value()) {
        return CONFIG_DEVICE_IO_FAILED;  // the chip could not be asked for its strings
    }
    *text = NarrowText(**stored);
    return CONFIG_SUCCESS;
}

int CCp210xBridgeConfig::GetNumDevices(std::uint32_t* numDevices) {
    if (numDevices == nullptr) {
        return CONFIG_INVALID_PARAMETER;
    }
    std::vector<UsbBridgeEntry> bridges;
    const int result = transport->ListBridges(&bridges);
    if (result == USB_RESULT_OK) {
        *numDevices = static_cast<std::uint32_t>(bridges.size());
    }
    return StatusOf(result);
}

int CCp210xBridgeConfig::GetProductString(std::uint32_t deviceIndex, char* buffer,
                                          std::uint32_t kind) {
    if (buffer == nullptr) {
        return CONFIG_INVALID_PARAMETER;
    }
    std::string text;
    const int status = ListedText(deviceIndex, kind, &text);
    if (status == CONFIG_SUCCESS) {
        const std::size_t length =
            std::min<std::size_t>(text.size(), CONFIG_PRODUCT_STRING_SIZE - 1);
        std::memcpy(buffer, text.data(), length);
        buffer[length] = '\0';
    }
    return status;
}

int CCp210xBridgeConfig::Open(std::uint32_t deviceIndex, BridgeConfigHandle* handle) {
    if (handle == nullptr) {
        return CONFIG_INVALID_PARAMETER;
    }
    std::vector<UsbBridgeEntry> bridges;
    const int listed = transport->ListBridges(&bridges);
    if (listed != USB_RESULT_OK) {
        return StatusOf(listed);
    }
    if (deviceIndex >= bridges.size()) {
        return CONFIG_DEVICE_NOT_FOUND;
    }
    std::unique_ptr<IUsbConfigDevice> device;
    const int opened = transport->Open(bridges[deviceIndex].location, &device);
    if (opened == USB_RESULT_GONE) {
        return CONFIG_DEVICE_NOT_FOUND;  // unplugged between the listing and the open
    }
    if (opened != USB_RESULT_OK || device == nullptr) {
        return opened != USB_RESULT_OK ? StatusOf(opened) : CONFIG_DEVICE_IO_FAILED;
    }
    const BridgeConfigHandle opening = nextHandle++;
    handles[opening] = OpenChip{std::move(device), false};
    *handle = opening;
    return CONFIG_SUCCESS;
}

int CCp210xBridgeConfig::Close(BridgeConfigHandle handle) {
    // Closing needs only the handle: it succeeds even when the chip went away meanwhile.
    return handles.erase(handle) == 1 ? CONFIG_SUCCESS : CONFIG_INVALID_HANDLE;
}

int CCp210xBridgeConfig::GetDeviceVid(BridgeConfigHandle handle, std::uint16_t* vid) {
    return ReadDescriptorWord(handle, ID_VENDOR_OFFSET, vid);
}

int CCp210xBridgeConfig::GetDevicePid(BridgeConfigHandle handle, std::uint16_t* pid) {
    return ReadDescriptorWord(handle, ID_PRODUCT_OFFSET, pid);
}

int CCp210xBridgeConfig::GetDeviceVersion(BridgeConfigHandle handle, std::uint16_t* version) {
    return ReadDescriptorWord(handle, BCD_DEVICE_OFFSET, version);
}

int CCp210xBridgeConfig::GetDeviceSerialNumber(BridgeConfigHandle handle, char* buffer,
                                               std::uint8_t* length, bool isAscii) {
    if (buffer == nullptr || length == nullptr || !isAscii) {
        return CONFIG_INVALID_PARAMETER;
    }
    IUsbConfigDevice* device = nullptr;
    int status = Find(handle, device);
    std::array<std::uint8_t, DEVICE_DESCRIPTOR_SIZE> descriptor{};
    if (status == CONFIG_SUCCESS) {
        status = ReadDeviceDescriptor(*device, descriptor);
    }
    if (status != CONFIG_SUCCESS) {
        return status;
    }
    std::string serial;  // a chip without a serial number string reports an empty one
    if (const std::uint8_t index = descriptor[I_SERIAL_NUMBER_OFFSET]; index != 0) {
        std::array<std::uint8_t, MAX_DESCRIPTOR_SIZE> bytes{};
        std::size_t received = 0;
        status = Read(*device, GetDescriptor(STRING_DESCRIPTOR_TYPE, index, LANGID_US_ENGLISH),
                      bytes, 2, &received);
        if (status != CONFIG_SUCCESS) {
            return status;
        }
        const auto text = DecodeStringDescriptor(std::span(bytes).first(received));
        if (!text.has_value()) {
            return CONFIG_DEVICE_IO_FAILED;
        }
        serial = NarrowText(*text);
    }
    const std::size_t count = std::min<std::size_t>(serial.size(), CONFIG_SERIAL_NUMBER_SIZE);
    std::memcpy(buffer, serial.data(), count);
    *length = static_cast<std::uint8_t>(count);
    return CONFIG_SUCCESS;
}

int CCp210xBridgeConfig::GetMaxPower(BridgeConfigHandle handle, std::uint8_t* power) {
    IUsbConfigDevice* device = nullptr;
    int status = power != nullptr ? Find(handle, device) : CONFIG_INVALID_PARAMETER;
    std::array<std::uint8_t, CONFIG_DESCRIPTOR_HEADER_SIZE> descriptor{};
    std::size_t received = 0;
    if (status == CONFIG_SUCCESS) {
        status = Read(*device, GetDescriptor(CONFIG_DESCRIPTOR_TYPE, 0, 0), descriptor,
                      CONFIG_DESCRIPTOR_HEADER_SIZE, &received);
    }
    if (status == CONFIG_SUCCESS && descriptor[1] != CONFIG_DESCRIPTOR_TYPE) {
        status = CONFIG_DEVICE_IO_FAILED;
    }
    if (status == CONFIG_SUCCESS) {
        *power = descriptor[B_MAX_POWER_OFFSET];
    }
    return status;
}

int CCp210xBridgeConfig::SetMaxPower(BridgeConfigHandle handle, std::uint8_t power) {
    // The value is bMaxPower itself, in 2 mA units, as GetMaxPower reports it.
    if (power > MAX_POWER_UNITS) {
        return CONFIG_INVALID_PARAMETER;
    }
    return Write(handle, SET_MAX_POWER_VALUE, power);
}

int CCp210xBridgeConfig::SetDeviceVersion(BridgeConfigHandle handle, std::uint16_t version) {
    return Write(handle, SET_DEVICE_VERSION_VALUE, version);
}

int CCp210xBridgeConfig::SetProductString(BridgeConfigHandle handle, const char* text,
                                          std::uint8_t length, bool isAscii) {
    return WriteText(handle, SET_PRODUCT_STRING_VALUE, text, length, isAscii, MAX_PRODUCT_CHARS);
}

int CCp210xBridgeConfig::SetSerialNumber(BridgeConfigHandle handle, const char* text,
                                         std::uint8_t length, bool isAscii) {
    return WriteText(handle, SET_SERIAL_NUMBER_VALUE, text, length, isAscii, MAX_SERIAL_CHARS);
}

int CCp210xBridgeConfig::SetVid(BridgeConfigHandle handle, std::uint16_t vid) {
    // A chip with VID 0 could no longer be found by anyone.
    return vid == 0 ? CONFIG_INVALID_PARAMETER : Write(handle, SET_VID_VALUE, vid);
}

int CCp210xBridgeConfig::SetPid(BridgeConfigHandle handle, std::uint16_t pid) {
    return pid == 0 ? CONFIG_INVALID_PARAMETER : Write(handle, SET_PID_VALUE, pid);
}

int CCp210xBridgeConfig::SetPortConfig(BridgeConfigHandle handle, const BridgePortConfig* config) {
    // The write format of the port configuration is not known, and on some parts it is
    // one-time programmable: a guessed layout could ruin the chip for good. So this only checks
    // that the chip already holds the wanted configuration.
    IUsbConfigDevice* device = nullptr;
    int status = config != nullptr ? Find(handle, device) : CONFIG_INVALID_PARAMETER;
    std::array<std::uint8_t, 1> part{};
    std::size_t received = 0;
    if (status == CONFIG_SUCCESS) {
        status = Read(*device, VendorRead(GET_PART_NUMBER_VALUE), part, part.size(), &received);
    }
    if (status != CONFIG_SUCCESS) {
        return status;
    }
    if (part[0] != PART_CP2103 && part[0] != PART_CP2104) {
        return CONFIG_FUNCTION_NOT_SUPPORTED;
    }
    std::array<std::uint8_t, PORT_CONFIG_SIZE> block{};
    status = Read(*device, VendorRead(GET_PORT_CONFIG_VALUE), block, block.size(), &received);
    if (status != CONFIG_SUCCESS) {
        return status;
    }
    return HoldsPortConfig(block, *config) ? CONFIG_SUCCESS : CONFIG_FUNCTION_NOT_SUPPORTED;
}

int CCp210xBridgeConfig::Reset(BridgeConfigHandle handle) {
    IUsbConfigDevice* device = nullptr;
    const int status = Find(handle, device);
    if (status != CONFIG_SUCCESS) {
        return status;
    }
    const int result = device->Reset();
    if (result == USB_RESULT_REENUMERATED) {
        // New descriptors make the chip a new device on the bus: the expected outcome after a
        // change of identity. This handle can no longer reach it.
        handles[handle].reenumerated = true;
        return CONFIG_SUCCESS;
    }
    return StatusOf(result);
}
