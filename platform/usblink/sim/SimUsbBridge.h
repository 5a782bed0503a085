// The USB bridge library over the simulated Bramlet: the fourteen operations, handles and
// status codes, on the dongles of a simulator state file.
#pragma once

#include <cstdint>
#include <map>
#include <memory>
#include <string>

#include "platform/usblink/UsbBridgeLibrary.h"
#include "sim/SimBramlet.h"

// Every operation first brings the simulator up to the clock's time. Reads never block while
// data is waiting; a read of an empty queue waits on the clock for the next arrival, at most
// the read timeout. Handles of an unplugged dongle fail every call; Close still releases them.
class CSimUsbBridge final : public IUsbBridgeLibrary {
public:
    CSimUsbBridge(const std::string& stateFile, const std::string& tracePath = {},
                  SimTargetFactory factory = CreateSimTarget);

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

    CSimBramlet& Bramlet() { return bramlet; }
    std::uint32_t ReadTimeoutMs() const { return readTimeoutMs; }
    std::uint32_t WriteTimeoutMs() const { return writeTimeoutMs; }

private:
    // The dongle behind an open handle after bringing the simulator up to now, or the status
    // the call fails with.
    int Lookup(BridgeHandle handle, CSimDongle*& dongle);
    void TraceLine(const char* event, const std::string& detail = {});

    CSimBramlet bramlet;
    std::map<BridgeHandle, std::shared_ptr<CSimDongle>> handles;
    BridgeHandle nextHandle = 1;
    std::uint32_t readTimeoutMs = 0;
    std::uint32_t writeTimeoutMs = 0;
};
