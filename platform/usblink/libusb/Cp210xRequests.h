// The CP210x vendor requests the bridge library sends (Silicon Labs AN571 and the GPIO latch
// requests): pure builders of setup packets and data stages, one per operation.
#pragma once

#include <cstdint>
#include <optional>
#include <vector>

#include "platform/usblink/libusb/UsbTransport.h"

// One control transfer: for OUT requests `data` is the data stage; for IN requests `inLength`
// bytes are read back.
struct Cp210xRequest {
    UsbSetup setup;
    std::vector<std::uint8_t> data;
    std::uint16_t inLength = 0;
};

// How a part reaches its GPIO latch; the part number byte decides.
enum class Cp210xGpio {
    NONE,    // CP2101, CP2102, and parts not known to have host-driven GPIO
    DEVICE,  // CP2103, CP2104, CP2102N: device request, state and mask packed in wIndex
    CP2105,  // interface request, one byte each of mask and state
    CP2108,  // interface request, 16-bit mask and state
};

Cp210xGpio GpioOfPart(std::uint8_t partNumber);
// Highest baud rate the part supports on the given interface.
std::uint32_t MaxBaudRate(std::uint8_t partNumber, std::uint8_t interfaceNumber);
// Parts whose older firmware may refuse SET_BAUDRATE but take the legacy divisor.
bool HasLegacyBaudDivisor(std::uint8_t partNumber);
// Word length 5-8 in the high byte, parity 0-4 in bits 4-7, stop bits 0-2 in bits 0-3.
bool IsValidLineControl(std::uint16_t lineControl);

Cp210xRequest PartNumberRequest();
Cp210xRequest InterfaceEnableRequest(std::uint8_t interfaceNumber, bool enable);
Cp210xRequest PurgeRequest(std::uint8_t interfaceNumber, bool transmit, bool receive);
Cp210xRequest BaudRateRequest(std::uint8_t interfaceNumber, std::uint32_t baudRate);
Cp210xRequest BaudDivisorRequest(std::uint8_t interfaceNumber, std::uint32_t baudRate);
Cp210xRequest LineControlRequest(std::uint8_t interfaceNumber, std::uint16_t lineControl);
// Codes: CTS, DSR and DCD 0 = status input only, 1 = handshake line; DTR 0 held inactive,
// 1 held active, 2 flow control; RTS the same plus 3 transmit-active. Nothing for a code out of
// range.
std::optional<Cp210xRequest> FlowControlRequest(std::uint8_t interfaceNumber, std::uint8_t cts,
                                                std::uint8_t rts, std::uint8_t dtr,
                                                std::uint8_t dsr, std::uint8_t dcd, bool xonXoff);
Cp210xRequest ReadLatchRequest(Cp210xGpio gpio, std::uint8_t interfaceNumber);
// The latch byte (GPIO0-7) out of the bytes a ReadLatchRequest brought back.
std::uint8_t LatchFromReply(const std::vector<std::uint8_t>& reply);
Cp210xRequest WriteLatchRequest(Cp210xGpio gpio, std::uint8_t interfaceNumber, std::uint8_t mask,
                                std::uint8_t value);
