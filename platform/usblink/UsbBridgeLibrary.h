// The USB bridge library: the fourteen operations the link port needs of the dongle's
// USB-to-UART bridge. One real (libusb) and one simulated implementation stand behind it.
#pragma once

#include <cstdint>
#include <memory>

// Opaque device handle; NO_BRIDGE_HANDLE means that no device is open.
using BridgeHandle = std::int32_t;
constexpr BridgeHandle NO_BRIDGE_HANDLE = -1;

// Library status codes. 0 is success; every other value is a failure.
enum BridgeStatus : int {
    BRIDGE_SUCCESS = 0x00,
    BRIDGE_INVALID_HANDLE = 0x01,
    BRIDGE_READ_ERROR = 0x02,
    BRIDGE_RX_QUEUE_NOT_READY = 0x03,
    BRIDGE_WRITE_ERROR = 0x04,
    BRIDGE_RESET_ERROR = 0x05,
    BRIDGE_INVALID_PARAMETER = 0x06,
    BRIDGE_INVALID_REQUEST_LENGTH = 0x07,
    BRIDGE_DEVICE_IO_FAILED = 0x08,
    BRIDGE_INVALID_BAUDRATE = 0x09,
    BRIDGE_FUNCTION_NOT_SUPPORTED = 0x0A,
    BRIDGE_GLOBAL_DATA_ERROR = 0x0B,
    BRIDGE_SYSTEM_ERROR_CODE = 0x0C,
    BRIDGE_READ_TIMED_OUT = 0x0D,
    BRIDGE_WRITE_TIMED_OUT = 0x0E,
    BRIDGE_IO_PENDING = 0x0F,
    BRIDGE_DEVICE_NOT_FOUND = 0xFF,
};

// Kinds of product string.
enum BridgeProductString : std::uint8_t {
    BRIDGE_SERIAL_NUMBER = 0,
    BRIDGE_DESCRIPTION = 1,
    BRIDGE_LINK_NAME = 2,
    BRIDGE_VID = 3,
    BRIDGE_PID = 4,
};

// Receive-queue states reported by CheckRxQueue.
enum BridgeQueueStatus : std::uint32_t {
    BRIDGE_RX_EMPTY = 0x00,
    BRIDGE_RX_OVERRUN = 0x01,
    BRIDGE_RX_READY = 0x02,
};

constexpr std::uint32_t BRIDGE_PRODUCT_STRING_SIZE = 256;

// Contract shared by every implementation:
// - every operation returns a BridgeStatus; out-parameters are written only on success;
// - device indices are 0-based in library order;
// - Read returns at once with what is waiting (up to count) or waits at most the read timeout;
//   Write waits at most the write timeout;
// - called from one thread only; no operation takes a lock.
class IUsbBridgeLibrary {
public:
    virtual ~IUsbBridgeLibrary() = default;

    virtual int GetNumDevices(std::uint32_t* count) = 0;
    // Writes a zero-terminated 8-bit string of at most 255 characters into a 256-byte buffer.
    virtual int GetProductString(std::uint32_t deviceIndex, char* buffer, std::uint8_t kind) = 0;
    virtual int Open(std::uint32_t deviceIndex, BridgeHandle* handle) = 0;
    virtual int Close(BridgeHandle handle) = 0;
    virtual int Read(BridgeHandle handle, std::uint8_t* buffer, std::uint32_t count,
                     std::uint32_t* bytesRead) = 0;
    virtual int Write(BridgeHandle handle, const std::uint8_t* buffer, std::uint32_t count,
                      std::uint32_t* bytesWritten) = 0;
    virtual int FlushBuffers(BridgeHandle handle, std::uint8_t flushTransmit,
                             std::uint8_t flushReceive) = 0;
    // Applies to the whole library, not to one handle.
    virtual int SetTimeouts(std::uint32_t readTimeoutMs, std::uint32_t writeTimeoutMs) = 0;
    virtual int CheckRxQueue(BridgeHandle handle, std::uint32_t* bytesInQueue,
                             std::uint32_t* queueStatus) = 0;
    virtual int SetBaudRate(BridgeHandle handle, std::uint32_t baudRate) = 0;
    // Word length in the high byte, parity in bits 4-7, stop bits in bits 0-3.
    virtual int SetLineControl(BridgeHandle handle, std::uint16_t lineControl) = 0;
    virtual int SetFlowControl(BridgeHandle handle, std::uint8_t ctsMaskCode,
                               std::uint8_t rtsMaskCode, std::uint8_t dtrMaskCode,
                               std::uint8_t dsrMaskCode, std::uint8_t dcdMaskCode,
                               bool flowXonXoff) = 0;
    virtual int ReadLatch(BridgeHandle handle, std::uint8_t* latch) = 0;
    virtual int WriteLatch(BridgeHandle handle, std::uint8_t mask, std::uint8_t value) = 0;
};

// The process-wide library, chosen once at start-up (see UsbBridgeFactory.h). Until one is
// installed, a library that sees no device stands in.
IUsbBridgeLibrary& UsbBridge();
// Installs the library the process uses from now on; the caller keeps it alive.
void InstallUsbBridge(IUsbBridgeLibrary* library);
