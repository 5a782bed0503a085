// The USB transport over libusb-1.0: the only place of the system that talks to libusb.
#pragma once

#include <map>
#include <memory>

#include "platform/usblink/libusb/UsbTransport.h"

struct libusb_context;
struct libusb_device;
struct libusb_device_handle;

class CLibusbTransport final : public IUsbTransport {
public:
    // Nothing when libusb cannot start (no USB file system, no permission to it, ...).
    static std::unique_ptr<CLibusbTransport> Create();
    ~CLibusbTransport() override;
    CLibusbTransport(const CLibusbTransport&) = delete;
    CLibusbTransport& operator=(const CLibusbTransport&) = delete;

    UsbResult Enumerate(std::vector<UsbDeviceInfo>& devices) override;
    UsbResult ReadString(const UsbDeviceInfo& device, std::uint8_t index,
                         std::u16string& text) override;
    UsbResult Open(const UsbDeviceInfo& device, std::uint8_t interfaceNumber,
                   UsbDeviceId& id) override;
    UsbResult Control(UsbDeviceId id, const UsbSetup& setup, std::uint8_t* data,
                      std::uint16_t length, std::uint32_t timeoutMs,
                      std::uint16_t& transferred) override;
    UsbResult BulkIn(UsbDeviceId id, std::uint8_t endpoint, std::uint8_t* buffer,
                     std::uint32_t length, std::uint32_t timeoutMs,
                     std::uint32_t& transferred) override;
    UsbResult BulkOut(UsbDeviceId id, std::uint8_t endpoint, const std::uint8_t* buffer,
                      std::uint32_t length, std::uint32_t timeoutMs,
                      std::uint32_t& transferred) override;
    void Close(UsbDeviceId id) override;

private:
    struct Claimed {
        libusb_device_handle* handle;
        std::uint8_t bus;
        std::uint8_t address;
        std::uint8_t interfaceNumber;
        bool reattachDriver;  // detached by hand where libusb cannot do it automatically
    };

    explicit CLibusbTransport(libusb_context* context);
    // Opens the attached device at the bus and address of `device`.
    UsbResult OpenDevice(const UsbDeviceInfo& device, libusb_device_handle*& handle);
    libusb_device_handle* ClaimedHandle(UsbDeviceId id) const;
    // One bulk transfer in the direction the endpoint's address gives.
    UsbResult Bulk(UsbDeviceId id, std::uint8_t endpoint, std::uint8_t* buffer,
                   std::uint32_t length, std::uint32_t timeoutMs, std::uint32_t& transferred);

    libusb_context* context;
    std::map<UsbDeviceId, Claimed> claimed;
    UsbDeviceId nextId = 1;
};
