// The USB transport over libusb-1.0: synchronous transfers, interfaces claimed with the kernel
// driver detached while the system holds them.
#include "platform/usblink/libusb/LibusbTransport.h"

#include <libusb.h>

#include <algorithm>
#include <climits>

namespace {

// The longest hub port path USB allows.
constexpr int MAX_PORT_DEPTH = 7;
constexpr int STRING_DESCRIPTOR_SIZE = 255;
constexpr std::uint8_t STRING_DESCRIPTOR_TYPE = 0x03;
constexpr std::uint16_t LANGUAGE_US_ENGLISH = 0x0409;

UsbResult ResultOf(int code) {
    switch (code) {
        case LIBUSB_SUCCESS:
            return UsbResult::OK;
        case LIBUSB_ERROR_TIMEOUT:
            return UsbResult::TIMEOUT;
        case LIBUSB_ERROR_NO_DEVICE:
        case LIBUSB_ERROR_NOT_FOUND:
            return UsbResult::NO_DEVICE;
        case LIBUSB_ERROR_PIPE:
            return UsbResult::STALL;
        case LIBUSB_ERROR_ACCESS:
            return UsbResult::ACCESS;
        case LIBUSB_ERROR_BUSY:
            return UsbResult::BUSY;
        default:
            return code >= 0 ? UsbResult::OK : UsbResult::FAILED;
    }
}

void ReadInterfaces(libusb_device* device, UsbDeviceInfo& info) {
    libusb_config_descriptor* config = nullptr;
    if (libusb_get_active_config_descriptor(device, &config) != LIBUSB_SUCCESS) {
        return;  // unconfigured: no interface to offer
    }
    for (int i = 0; i < config->bNumInterfaces; ++i) {
        const libusb_interface& interface = config->interface[i];
        if (interface.num_altsetting < 1) {
            continue;
        }
        const libusb_interface_descriptor& setting = interface.altsetting[0];
        UsbInterfaceInfo uart{setting.bInterfaceNumber,
                              setting.bInterfaceClass,
                              setting.bInterfaceSubClass,
                              setting.bInterfaceProtocol,
                              {}};
        for (int e = 0; e < setting.bNumEndpoints; ++e) {
            const libusb_endpoint_descriptor& endpoint = setting.endpoint[e];
            uart.endpoints.push_back(
                {endpoint.bEndpointAddress, endpoint.bmAttributes, endpoint.wMaxPacketSize});
        }
        info.interfaces.push_back(std::move(uart));
    }
    libusb_free_config_descriptor(config);
}

// A raw string descriptor: [bLength][0x03][UTF-16LE text].
UsbResult DecodeString(const unsigned char* raw, int size, std::u16string& text) {
    if (size < 2 || raw[1] != STRING_DESCRIPTOR_TYPE) {
        return UsbResult::FAILED;
    }
    const int length = std::min<int>(raw[0], size);
    text.clear();
    for (int i = 2; i + 1 < length; i += 2) {
        text.push_back(static_cast<char16_t>(raw[i] | raw[i + 1] << 8));
    }
    return UsbResult::OK;
}

}  // namespace

std::unique_ptr<CLibusbTransport> CLibusbTransport::Create() {
    libusb_context* context = nullptr;
    if (libusb_init(&context) != LIBUSB_SUCCESS) {
        return nullptr;
    }
    return std::unique_ptr<CLibusbTransport>(new CLibusbTransport(context));
}

CLibusbTransport::CLibusbTransport(libusb_context* usbContext) : context(usbContext) {}

CLibusbTransport::~CLibusbTransport() {
    while (!claimed.empty()) {
        Close(claimed.begin()->first);
    }
    libusb_exit(context);
}

UsbResult CLibusbTransport::Enumerate(std::vector<UsbDeviceInfo>& devices) {
    libusb_device** list = nullptr;
    const ssize_t count = libusb_get_device_list(context, &list);
    if (count < 0) {
        return ResultOf(static_cast<int>(count));
    }
    devices.clear();
    for (ssize_t i = 0; i < count; ++i) {
        libusb_device_descriptor descriptor{};
        if (libusb_get_device_descriptor(list[i], &descriptor) != LIBUSB_SUCCESS ||
            descriptor.bDeviceClass == LIBUSB_CLASS_HUB) {
            continue;
        }
        UsbDeviceInfo info;
        info.bus = libusb_get_bus_number(list[i]);
        info.address = libusb_get_device_address(list[i]);
        std::uint8_t ports[MAX_PORT_DEPTH];
        const int depth = libusb_get_port_numbers(list[i], ports, MAX_PORT_DEPTH);
        info.ports.assign(ports, ports + std::max(depth, 0));
        info.vid = descriptor.idVendor;
        info.pid = descriptor.idProduct;
        info.deviceClass = descriptor.bDeviceClass;
        info.productIndex = descriptor.iProduct;
        info.serialIndex = descriptor.iSerialNumber;
        ReadInterfaces(list[i], info);
        devices.push_back(std::move(info));
    }
    libusb_free_device_list(list, 1);
    return UsbResult::OK;
}

UsbResult CLibusbTransport::OpenDevice(const UsbDeviceInfo& device, libusb_device_handle*& handle) {
    libusb_device** list = nullptr;
    const ssize_t count = libusb_get_device_list(context, &list);
    if (count < 0) {
        return ResultOf(static_cast<int>(count));
    }
    int code = LIBUSB_ERROR_NO_DEVICE;
    for (ssize_t i = 0; i < count; ++i) {
        if (libusb_get_bus_number(list[i]) == device.bus &&
            libusb_get_device_address(list[i]) == device.address) {
            code = libusb_open(list[i], &handle);
            break;
        }
    }
    libusb_free_device_list(list, 1);
    return ResultOf(code);
}

// A device the system holds open is asked through its own handle; any other is opened for the
// question only.
UsbResult CLibusbTransport::ReadString(const UsbDeviceInfo& device, std::uint8_t index,
                                       std::u16string& text) {
    libusb_device_handle* handle = nullptr;
    for (const auto& [id, open] : claimed) {
        if (open.bus == device.bus && open.address == device.address) {
            handle = open.handle;
        }
    }
    const bool temporary = handle == nullptr;
    if (temporary) {
        const UsbResult opened = OpenDevice(device, handle);
        if (opened != UsbResult::OK) {
            return opened;
        }
    }
    unsigned char raw[STRING_DESCRIPTOR_SIZE];
    // String 0 lists the languages; the first one is asked for.
    int size = libusb_get_string_descriptor(handle, 0, 0, raw, sizeof raw);
    const std::uint16_t language =
        size >= 4 ? static_cast<std::uint16_t>(raw[2] | raw[3] << 8) : LANGUAGE_US_ENGLISH;
    size = libusb_get_string_descriptor(handle, index, language, raw, sizeof raw);
    const UsbResult result = size < 0 ? ResultOf(size) : DecodeString(raw, size, text);
    if (temporary) {
        libusb_close(handle);
    }
    return result;
}

UsbResult CLibusbTransport::Open(const UsbDeviceInfo& device, std::uint8_t interfaceNumber,
                                 UsbDeviceId& id) {
    libusb_device_handle* handle = nullptr;
    const UsbResult opened = OpenDevice(device, handle);
    if (opened != UsbResult::OK) {
        return opened;
    }
    // Automatic detach hands the interface back to the kernel driver on release; where the
    // platform lacks it the driver is detached and re-attached by hand.
    bool reattach = false;
    if (libusb_set_auto_detach_kernel_driver(handle, 1) != LIBUSB_SUCCESS &&
        libusb_kernel_driver_active(handle, interfaceNumber) == 1) {
        reattach = libusb_detach_kernel_driver(handle, interfaceNumber) == LIBUSB_SUCCESS;
    }
    const int code = libusb_claim_interface(handle, interfaceNumber);
    if (code != LIBUSB_SUCCESS) {
        if (reattach) {
            libusb_attach_kernel_driver(handle, interfaceNumber);
        }
        libusb_close(handle);
        return ResultOf(code);
    }
    id = nextId++;
    claimed[id] = {handle, device.bus, device.address, interfaceNumber, reattach};
    return UsbResult::OK;
}

libusb_device_handle* CLibusbTransport::ClaimedHandle(UsbDeviceId id) const {
    const auto it = claimed.find(id);
    return it == claimed.end() ? nullptr : it->second.handle;
}

UsbResult CLibusbTransport::Control(UsbDeviceId id, const UsbSetup& setup, std::uint8_t* data,
                                    std::uint16_t length, std::uint32_t timeoutMs,
                                    std::uint16_t& transferred) {
    transferred = 0;
    libusb_device_handle* handle = ClaimedHandle(id);
    if (handle == nullptr) {
        return UsbResult::NO_DEVICE;
    }
    const int code = libusb_control_transfer(handle, setup.requestType, setup.request, setup.value,
                                             setup.index, data, length, timeoutMs);
    if (code >= 0) {
        transferred = static_cast<std::uint16_t>(code);
    }
    return ResultOf(code);
}

UsbResult CLibusbTransport::BulkIn(UsbDeviceId id, std::uint8_t endpoint, std::uint8_t* buffer,
                                   std::uint32_t length, std::uint32_t timeoutMs,
                                   std::uint32_t& transferred) {
    return Bulk(id, endpoint, buffer, length, timeoutMs, transferred);
}

UsbResult CLibusbTransport::BulkOut(UsbDeviceId id, std::uint8_t endpoint,
                                    const std::uint8_t* buffer, std::uint32_t length,
                                    std::uint32_t timeoutMs, std::uint32_t& transferred) {
    // libusb takes one buffer type for both directions; an OUT transfer only reads it.
    return Bulk(id, endpoint, const_cast<std::uint8_t*>(buffer), length, timeoutMs, transferred);
}

UsbResult CLibusbTransport::Bulk(UsbDeviceId id, std::uint8_t endpoint, std::uint8_t* buffer,
                                 std::uint32_t length, std::uint32_t timeoutMs,
                                 std::uint32_t& transferred) {
    transferred = 0;
    libusb_device_handle* handle = ClaimedHandle(id);
    if (handle == nullptr) {
        return UsbResult::NO_DEVICE;
    }
    int actual = 0;
    const int code = libusb_bulk_transfer(
        handle, endpoint, buffer, static_cast<int>(std::min<std::uint32_t>(length, INT_MAX)),
        &actual, timeoutMs);
    transferred = static_cast<std::uint32_t>(std::max(actual, 0));
    return ResultOf(code);
}

void CLibusbTransport::Close(UsbDeviceId id) {
    const auto it = claimed.find(id);
    if (it == claimed.end()) {
        return;
    }
    const Claimed& open = it->second;
    libusb_release_interface(open.handle, open.interfaceNumber);
    if (open.reattachDriver) {
        libusb_attach_kernel_driver(open.handle, open.interfaceNumber);
    }
    libusb_close(open.handle);
    claimed.erase(it);
}
