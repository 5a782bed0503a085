// Makes a chosen dongle the first one the process sees, so that Quillon's Connect, which always
// opens device 1, opens the dongle named by --device.
#pragma once

#include <cstdint>

#include "platform/usblink/UsbBridgeLibrary.h"

class CDeviceSelection final : public IUsbBridgeLibrary {
public:
    // device is 1-based, as on the command line.
    CDeviceSelection(IUsbBridgeLibrary& library, int device);

    int GetNumDevices(std::uint32_t* count) override;
    int GetProductString(std::uint32_t deviceIndex, char* buffer, std::uint8_t kind) override;
    int Open(std::uint32_t deviceIndex, BridgeHandle* handle) override;
    int Close(BridgeHandle handle) override { return library.Close(handle); }
    int Read(BridgeHandle handle, std::uint8_t* buffer, std::uint32_t count,
             std::uint32_t* bytesRead) override {
        return library.Read(handle, buffer, count, bytesRead);
    }
    int Write(BridgeHandle handle, const std::uint8_t* buffer, std::uint32_t count,
              std::uint32_t* bytesWritten) override {
        return library.Write(handle, buffer, count, bytesWritten);
    }
    int FlushBuffers(BridgeHandle handle, std::uint8_t flushTransmit,
                     std::uint8_t flushReceive) override {
        return library.FlushBuffers(handle, flushTransmit, flushReceive);
    }
    int SetTimeouts(std::uint32_t readTimeoutMs, std::uint32_t writeTimeoutMs) override {
        return library.SetTimeouts(readTimeoutMs, writeTimeoutMs);
    }
    int CheckRxQueue(BridgeHandle handle, std::uint32_t* bytesInQueue,
                     std::uint32_t* queueStatus) override {
        return library.CheckRxQueue(handle, bytesInQueue, queueStatus);
    }
    int SetBaudRate(BridgeHandle handle, std::uint32_t baudRate) override {
        return library.SetBaudRate(handle, baudRate);
    }
    int SetLineControl(BridgeHandle handle, std::uint16_t lineControl) override {
        return library.SetLineControl(handle, lineControl);
    }
    int SetFlowControl(BridgeHandle handle, std::uint8_t ctsMaskCode, std::uint8_t rtsMaskCode,
                       std::uint8_t dtrMaskCode, std::uint8_t dsrMaskCode, std::uint8_t dcdMaskCode,
                       bool flowXonXoff) override {
        return library.SetFlowControl(handle, ctsMaskCode, rtsMaskCode, dtrMaskCode, dsrMaskCode,
                                      dcdMaskCode, flowXonXoff);
    }
    int ReadLatch(BridgeHandle handle, std::uint8_t* latch) override {
        return library.ReadLatch(handle, latch);
    }
    int WriteLatch(BridgeHandle handle, std::uint8_t mask, std::uint8_t value) override {
        return library.WriteLatch(handle, mask, value);
    }

private:
    IUsbBridgeLibrary& library;
    std::uint32_t skipped;  // devices before the chosen one
};
