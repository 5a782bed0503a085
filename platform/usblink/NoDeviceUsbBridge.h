// The USB bridge library of a machine with no bridge attached: counts none, opens none.
#pragma once

#include "platform/usblink/UsbBridgeLibrary.h"

class CNoDeviceUsbBridge final : public IUsbBridgeLibrary {
public:
    int GetNumDevices(std::uint32_t* count) override;
    int GetProductString(std::uint32_t, char*, std::uint8_t) override;
    int Open(std::uint32_t, BridgeHandle*) override;
    int Close(BridgeHandle) override;
    int Read(BridgeHandle, std::uint8_t*, std::uint32_t, std::uint32_t*) override;
    int Write(BridgeHandle, const std::uint8_t*, std::uint32_t, std::uint32_t*) override;
    int FlushBuffers(BridgeHandle, std::uint8_t, std::uint8_t) override;
    int SetTimeouts(std::uint32_t, std::uint32_t) override;
    int CheckRxQueue(BridgeHandle, std::uint32_t*, std::uint32_t*) override;
    int SetBaudRate(BridgeHandle, std::uint32_t) override;
    int SetLineControl(BridgeHandle, std::uint16_t) override;
    int SetFlowControl(BridgeHandle, std::uint8_t, std::uint8_t, std::uint8_t, std::uint8_t,
                       std::uint8_t, bool) override;
    int ReadLatch(BridgeHandle, std::uint8_t*) override;
    int WriteLatch(BridgeHandle, std::uint8_t, std::uint8_t) override;
};
