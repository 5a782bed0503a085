// CBridgePort: Quillon's one connection to the Bramlet's USB-to-UART bridge. Every byte travels
// inverted; leading raw 0x00 bytes of a read are dropped.
#pragma once

#include <cstdint>

#include "platform/usblink/UsbBridgeLibrary.h"
#include "quillon/link/LatchSetting.h"

// Result codes of the port's operations.
constexpr int PORT_OK = 1;
constexpr int PORT_FAILED = -1;
constexpr int PORT_NO_MEMORY = -9;

// Sizes of the work buffers.
constexpr int PORT_WORK_BUFFER_SIZE = 4096;
constexpr int PORT_MAX_READ = 4095;
constexpr int PORT_PRODUCT_STRING_SIZE = 256;

class CBridgePort {
public:
    CBridgePort();
    ~CBridgePort();
    CBridgePort(const CBridgePort&) = delete;
    CBridgePort& operator=(const CBridgePort&) = delete;

    int GetDeviceCount();
    int Open(int deviceNumber);
    int Close();
    BridgeHandle GetHandle() const { return handle; }
    int GetDeviceIndex() const { return deviceIndex; }

    int GetSerialNumber(char16_t* buffer);
    int GetDescription(char16_t* buffer);
    int GetLinkName(char16_t* buffer);
    int GetVid(char16_t* buffer);
    int GetPid(char16_t* buffer);
    int NeedsUpdate(int deviceNumber);

    int WriteText(const char* message);
    int WriteWideText(const char16_t* message);
    int ReadBytes(std::uint8_t* buffer);
    int ReadWideText(char16_t* buffer);
    int Flush();
    int WriteLatch(LatchSetting setting);
    int ReadLatch(std::uint8_t* latch);

private:
    int GetProductString(std::uint8_t kind, char16_t* buffer);

    BridgeHandle handle;
    int deviceIndex;
};

// The process-wide port, constructed during static initialisation.
extern CBridgePort bridgePort;
