// The USB bridge library of real CP210x dongles: the fourteen operations mapped onto CP210x
// vendor requests and bulk transfers through a USB transport.
#pragma once

#include <cstdint>
#include <deque>
#include <map>
#include <memory>
#include <vector>

#include "platform/usblink/UsbBridgeLibrary.h"
#include "platform/usblink/libusb/Cp210xDevices.h"
#include "platform/usblink/libusb/Cp210xRequests.h"
#include "platform/usblink/libusb/UsbTransport.h"

// Devices are counted afresh on every call that takes a device index (see FindCp210xDevices
// for which devices count and their order). Bytes that bulk IN transfers bring are kept in a
// host-side receive queue per handle: Read takes from it and waits on the bus only when it is
// empty; CheckRxQueue tops it up with one short bulk IN poll. A handle whose device has gone
// fails every later call without touching the bus; Close still releases it.
class CCp210xUsbBridge final : public IUsbBridgeLibrary {
public:
    explicit CCp210xUsbBridge(std::unique_ptr<IUsbTransport> transport);
    ~CCp210xUsbBridge() override;
    CCp210xUsbBridge(const CCp210xUsbBridge&) = delete;
    CCp210xUsbBridge& operator=(const CCp210xUsbBridge&) = delete;

    int GetNumDevices(std::uint32_t* count) override;
    int GetProductString(std::uint32_t deviceIndex, char* buffer, std::uint8_t kind) override;
    int Open(std::uint32_t deviceIndex, BridgeHandle* handle) override;
    int Close(BridgeHandle handle) override;
    int Read(BridgeHandle handle, std::uint8_t* buffer, std::uint32_t count,
             std::uint32_t* bytesRead) override;
    int Write(BridgeHandle handle, const std::uint8_t* buffer, std::uint32_t count,
              std::uint32_t* bytesWritten) override;
    int FlushBuffers(BridgeHandle handle, std::uint8_t flushTransmit,
                     std::uint8_t flushReceive) override;
    int SetTimeouts(std::uint32_t readTimeoutMs, std::uint32_t writeTimeoutMs) override;
    int CheckRxQueue(BridgeHandle handle, std::uint32_t* bytesInQueue,
                     std::uint32_t* queueStatus) override;
    int SetBaudRate(BridgeHandle handle, std::uint32_t baudRate) override;
    int SetLineControl(BridgeHandle handle, std::uint16_t lineControl) override;
    int SetFlowControl(BridgeHandle handle, std::uint8_t ctsMaskCode, std::uint8_t rtsMaskCode,
                       std::uint8_t dtrMaskCode, std::uint8_t dsrMaskCode, std::uint8_t dcdMaskCode,
                       bool flowXonXoff) override;
    int ReadLatch(BridgeHandle handle, std::uint8_t* latch) override;
    int WriteLatch(BridgeHandle handle, std::uint8_t mask, std::uint8_t value) override;

private:
    struct OpenDevice {
        UsbDeviceId id;
        Cp210xDevice device;
        std::uint8_t partNumber;
        std::deque<std::uint8_t> rxQueue;
        bool gone = false;
    };

    int Devices(std::vector<Cp210xDevice>& devices);
    // The device behind an open handle, or the status the call fails with.
    int Lookup(BridgeHandle handle, OpenDevice*& device);
    // Sends one request; an IN request must bring back exactly its length into `reply`.
    // `outcome` receives the transport's own result.
    int Send(OpenDevice& device, const Cp210xRequest& request,
             std::vector<std::uint8_t>* reply = nullptr, UsbResult* outcome = nullptr);
    // One bulk IN transfer appended to the receive queue.
    UsbResult Fill(OpenDevice& device, std::uint32_t timeoutMs);
    // Status for a transport failure on a device; marks the device gone when it has.
    int Failed(OpenDevice& device, UsbResult result, int otherwise);

    std::unique_ptr<IUsbTransport> transport;
    std::map<BridgeHandle, OpenDevice> handles;
    BridgeHandle nextHandle = 1;
    std::uint32_t readTimeoutMs = 0;
    std::uint32_t writeTimeoutMs = 0;
};
