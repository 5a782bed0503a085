// libusb-1.0 behind the configuration library's transport: the only place that knows libusb.
#include "platform/bridgeconfig/libusb/LibusbConfigTransport.h"

#include <libusb.h>

#include <algorithm>
#include <array>
#include <string>

#include "platform/bridgeconfig/libusb/Cp210xStrings.h"
#include "platform/bridgeconfig/libusb/Cp210xWire.h"

namespace {

// Longest a control transfer may take; a string written into the chip's EEPROM needs a moment.
constexpr unsigned CONTROL_TIMEOUT_MS = 2000;
// USB 3 allows hub chains of up to seven tiers.
constexpr int MAX_PORT_DEPTH = 7;

int ResultOf(int libusbError) {
    switch (libusbError) {
        case LIBUSB_SUCCESS:
            return USB_RESULT_OK;
        case LIBUSB_ERROR_NO_DEVICE:
        case LIBUSB_ERROR_NOT_FOUND:
            return USB_RESULT_GONE;
        case LIBUSB_ERROR_ACCESS:
            return USB_RESULT_ACCESS_DENIED;
        case LIBUSB_ERROR_PIPE:
            return USB_RESULT_STALLED;
        case LIBUSB_ERROR_TIMEOUT:
            return USB_RESULT_TIMED_OUT;
        default:
            return USB_RESULT_FAILED;
    }
}

bool IsBridge(const libusb_device_descriptor& descriptor) {
    return std::any_of(CP210X_IDS.begin(), CP210X_IDS.end(), [&](const UsbId& id) {
        return id.vid == descriptor.idVendor && id.pid == descriptor.idProduct;
    });
}

// "bus-port.port...", as the kernel names the device in sysfs.
std::string Location(libusb_device* device) {
    std::array<std::uint8_t, MAX_PORT_DEPTH> ports{};
    const int depth = libusb_get_port_numbers(device, ports.data(), MAX_PORT_DEPTH);
    std::string location = std::to_string(libusb_get_bus_number(device));
    for (int i = 0; i < depth; ++i) {
        location += (i == 0 ? "-" : ".") + std::to_string(ports[static_cast<std::size_t>(i)]);
    }
    return location;
}

std::optional<std::u16string> ReadString(libusb_device_handle* handle, std::uint8_t index) {
    if (index == 0) {
        return std::u16string();
    }
    std::array<std::uint8_t, MAX_DESCRIPTOR_SIZE> bytes{};
    const int received = libusb_get_string_descriptor(handle, index, LANGID_US_ENGLISH,
                                                      bytes.data(), static_cast<int>(bytes.size()));
    if (received < 0) {
        return std::nullopt;
    }
    return DecodeStringDescriptor(std::span(bytes).first(static_cast<std::size_t>(received)));
}

// The device list of a context, released when it goes.
class CDeviceList {
public:
    explicit CDeviceList(libusb_context* context)
        : count(libusb_get_device_list(context, &devices)) {}
    ~CDeviceList() {
        if (count >= 0) {
            libusb_free_device_list(devices, 1);
        }
    }
    CDeviceList(const CDeviceList&) = delete;
    CDeviceList& operator=(const CDeviceList&) = delete;

    int Status() const { return count < 0 ? static_cast<int>(count) : LIBUSB_SUCCESS; }
    std::span<libusb_device*> Devices() const {
        return {devices, count < 0 ? 0 : static_cast<std::size_t>(count)};
    }

private:
    libusb_device** devices = nullptr;
    ssize_t count;
};

class CLibusbConfigDevice final : public IUsbConfigDevice {
public:
    explicit CLibusbConfigDevice(libusb_device_handle* handle) : handle(handle) {}
    ~CLibusbConfigDevice() override { libusb_close(handle); }
    CLibusbConfigDevice(const CLibusbConfigDevice&) = delete;
    CLibusbConfigDevice& operator=(const CLibusbConfigDevice&) = delete;

    int Control(const UsbSetup& setup, std::span<std::uint8_t> data,
                std::size_t* transferred) override {
        const int result = libusb_control_transfer(
            handle, setup.requestType, setup.request, setup.value, setup.index, data.data(),
            static_cast<std::uint16_t>(data.size()), CONTROL_TIMEOUT_MS);
        if (result < 0) {
            return ResultOf(result);
        }
        *transferred = static_cast<std::size_t>(result);
        return USB_RESULT_OK;
    }

    int Reset() override {
        // libusb reports a chip that came back with other descriptors as "not found"; it says the
        // same of a chip that went away during the reset, which cannot be told apart here.
        const int result = libusb_reset_device(handle);
        return result == LIBUSB_ERROR_NOT_FOUND ? USB_RESULT_REENUMERATED : ResultOf(result);
    }

private:
    libusb_device_handle* handle;
};

class CLibusbConfigTransport final : public IUsbConfigTransport {
public:
    explicit CLibusbConfigTransport(libusb_context* context) : context(context) {}
    ~CLibusbConfigTransport() override { libusb_exit(context); }
    CLibusbConfigTransport(const CLibusbConfigTransport&) = delete;
    CLibusbConfigTransport& operator=(const CLibusbConfigTransport&) = delete;

    int ListBridges(std::vector<UsbBridgeEntry>* bridges) override {
        const CDeviceList list(context);
        if (list.Status() != LIBUSB_SUCCESS) {
            return ResultOf(list.Status());
        }
        bridges->clear();
        for (libusb_device* device : list.Devices()) {
            libusb_device_descriptor descriptor{};
            if (libusb_get_device_descriptor(device, &descriptor) != LIBUSB_SUCCESS ||
                !IsBridge(descriptor)) {
                continue;
            }
            UsbBridgeEntry entry{
                Location(device), descriptor.idVendor, descriptor.idProduct, {}, {}};
            // A chip that cannot be opened (no permission) is listed without its strings.
            libusb_device_handle* handle = nullptr;
            if (libusb_open(device, &handle) == LIBUSB_SUCCESS) {
                entry.product = ReadString(handle, descriptor.iProduct);
                entry.serial = ReadString(handle, descriptor.iSerialNumber);
                libusb_close(handle);
            }
            bridges->push_back(std::move(entry));
        }
        std::sort(bridges->begin(), bridges->end(),
                  [](const UsbBridgeEntry& a, const UsbBridgeEntry& b) {
                      return a.location < b.location;
                  });
        return USB_RESULT_OK;
    }

    int Open(const std::string& location, std::unique_ptr<IUsbConfigDevice>* device) override {
        const CDeviceList list(context);
        if (list.Status() != LIBUSB_SUCCESS) {
            return ResultOf(list.Status());
        }
        for (libusb_device* candidate : list.Devices()) {
            libusb_device_descriptor descriptor{};
            if (libusb_get_device_descriptor(candidate, &descriptor) != LIBUSB_SUCCESS ||
                !IsBridge(descriptor) || Location(candidate) != location) {
                continue;
            }
            libusb_device_handle* handle = nullptr;
            const int result = libusb_open(candidate, &handle);
            if (result != LIBUSB_SUCCESS) {
                return ResultOf(result);
            }
            *device = std::make_unique<CLibusbConfigDevice>(handle);
            return USB_RESULT_OK;
        }
        return USB_RESULT_GONE;
    }

private:
    libusb_context* context;
};

}  // namespace

std::unique_ptr<IUsbConfigTransport> CreateLibusbConfigTransport() {
    libusb_context* context = nullptr;
    if (libusb_init(&context) != LIBUSB_SUCCESS) {
        return nullptr;
    }
    return std::make_unique<CLibusbConfigTransport>(context);
}
