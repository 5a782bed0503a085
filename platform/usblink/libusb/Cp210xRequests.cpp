// Setup packets and data stages of the CP210x vendor requests.
#include "platform/usblink/libusb/Cp210xRequests.h"

namespace {

// bmRequestType: vendor requests to the interface or to the device, either direction.
constexpr std::uint8_t HOST_TO_INTERFACE = 0x41;
constexpr std::uint8_t INTERFACE_TO_HOST = 0xC1;
constexpr std::uint8_t HOST_TO_DEVICE = 0x40;
constexpr std::uint8_t DEVICE_TO_HOST = 0xC0;

// bRequest codes.
constexpr std::uint8_t IFC_ENABLE = 0x00;
constexpr std::uint8_t SET_BAUDDIV = 0x01;
constexpr std::uint8_t SET_LINE_CTL = 0x03;
constexpr std::uint8_t PURGE = 0x12;
constexpr std::uint8_t SET_FLOW = 0x13;
constexpr std::uint8_t SET_BAUDRATE = 0x1E;
constexpr std::uint8_t VENDOR_SPECIFIC = 0xFF;

// wValue of the VENDOR_SPECIFIC requests.
constexpr std::uint16_t GET_PARTNUM = 0x370B;
constexpr std::uint16_t READ_LATCH = 0x00C2;
constexpr std::uint16_t WRITE_LATCH = 0x37E1;

// PURGE bits: 0 and 2 clear the transmit queue, 1 and 3 the receive queue. Both bits of a
// direction are set, as the kernel driver does on close.
constexpr std::uint16_t PURGE_TRANSMIT = 0x0005;
constexpr std::uint16_t PURGE_RECEIVE = 0x000A;

constexpr std::uint32_t BAUD_CLOCK = 3686400;  // base of the legacy divisor

// SET_FLOW fields: ulControlHandshake and ulFlowReplace bits, XON/XOFF thresholds.
constexpr std::uint32_t HANDSHAKE_CTS = 1u << 3;
constexpr std::uint32_t HANDSHAKE_DSR = 1u << 4;
constexpr std::uint32_t HANDSHAKE_DCD = 1u << 5;
constexpr std::uint32_t REPLACE_AUTO_TRANSMIT = 1u << 0;
constexpr std::uint32_t REPLACE_AUTO_RECEIVE = 1u << 1;
constexpr unsigned REPLACE_RTS_SHIFT = 6;
constexpr std::uint32_t XON_XOFF_LIMIT = 128;
constexpr std::uint8_t MAX_INPUT_CODE = 1;
constexpr std::uint8_t MAX_DTR_CODE = 2;
constexpr std::uint8_t MAX_RTS_CODE = 3;

struct PartFacts {
    std::uint8_t partNumber;
    Cp210xGpio gpio;
    std::uint32_t maxBaud;
    bool legacyDivisor;
};

// Part-number byte, GPIO access, highest rate (interface 0), legacy divisor.
constexpr PartFacts PARTS[] = {
    {0x01, Cp210xGpio::NONE, 921600, true},      // CP2101
    {0x02, Cp210xGpio::NONE, 1000000, true},     // CP2102
    {0x03, Cp210xGpio::DEVICE, 1000000, true},   // CP2103
    {0x04, Cp210xGpio::DEVICE, 2000000, false},  // CP2104
    {0x05, Cp210xGpio::CP2105, 2000000, false},  // CP2105 (its SCI interface: see below)
    {0x08, Cp210xGpio::CP2108, 2000000, false},  // CP2108
    {0x20, Cp210xGpio::DEVICE, 3000000, false},  // CP2102N QFN28
    {0x21, Cp210xGpio::DEVICE, 3000000, false},  // CP2102N QFN24
    {0x22, Cp210xGpio::DEVICE, 3000000, false},  // CP2102N QFN20
};
constexpr std::uint8_t CP2105 = 0x05;
constexpr std::uint32_t CP2105_SCI_MAX_BAUD = 921600;
// Parts not in the table get the rate every CP210x reaches.
constexpr std::uint32_t UNKNOWN_PART_MAX_BAUD = 921600;

const PartFacts* FactsOf(std::uint8_t partNumber) {
    for (const PartFacts& facts : PARTS) {
        if (facts.partNumber == partNumber) {
            return &facts;
        }
    }
    return nullptr;
}

void PutLe16(std::vector<std::uint8_t>& data, std::uint16_t value) {
    data.push_back(static_cast<std::uint8_t>(value));
    data.push_back(static_cast<std::uint8_t>(value >> 8));
}

void PutLe32(std::vector<std::uint8_t>& data, std::uint32_t value) {
    PutLe16(data, static_cast<std::uint16_t>(value));
    PutLe16(data, static_cast<std::uint16_t>(value >> 16));
}

Cp210xRequest Out(std::uint8_t requestType, std::uint8_t request, std::uint16_t value,
                  std::uint16_t index, std::vector<std::uint8_t> data = {}) {
    return {{requestType, request, value, index}, std::move(data), 0};
}

}  // namespace

Cp210xGpio GpioOfPart(std::uint8_t partNumber) {
    const PartFacts* facts = FactsOf(partNumber);
    return facts != nullptr ? facts->gpio : Cp210xGpio::NONE;
}

std::uint32_t MaxBaudRate(std::uint8_t partNumber, std::uint8_t interfaceNumber) {
    if (partNumber == CP2105 && interfaceNumber == 1) {
        return CP2105_SCI_MAX_BAUD;
    }
    const PartFacts* facts = FactsOf(partNumber);
    return facts != nullptr ? facts->maxBaud : UNKNOWN_PART_MAX_BAUD;
}

bool HasLegacyBaudDivisor(std::uint8_t partNumber) {
    const PartFacts* facts = FactsOf(partNumber);
    return facts != nullptr && facts->legacyDivisor;
}

bool IsValidLineControl(std::uint16_t lineControl) {
    const unsigned wordLength = lineControl >> 8;
    const unsigned parity = (lineControl >> 4) & 0x0F;
    const unsigned stopBits = lineControl & 0x0F;
    return wordLength >= 5 && wordLength <= 8 && parity <= 4 && stopBits <= 2;
}

Cp210xRequest PartNumberRequest() {
    return {{DEVICE_TO_HOST, VENDOR_SPECIFIC, GET_PARTNUM, 0}, {}, 1};
}

Cp210xRequest InterfaceEnableRequest(std::uint8_t interfaceNumber, bool enable) {
    return Out(HOST_TO_INTERFACE, IFC_ENABLE, enable ? 1 : 0, interfaceNumber);
}

Cp210xRequest PurgeRequest(std::uint8_t interfaceNumber, bool transmit, bool receive) {
    const auto bits =
        static_cast<std::uint16_t>((transmit ? PURGE_TRANSMIT : 0) | (receive ? PURGE_RECEIVE : 0));
    return Out(HOST_TO_INTERFACE, PURGE, bits, interfaceNumber);
}

Cp210xRequest BaudRateRequest(std::uint8_t interfaceNumber, std::uint32_t baudRate) {
    std::vector<std::uint8_t> data;
    PutLe32(data, baudRate);
    return Out(HOST_TO_INTERFACE, SET_BAUDRATE, 0, interfaceNumber, std::move(data));
}

Cp210xRequest BaudDivisorRequest(std::uint8_t interfaceNumber, std::uint32_t baudRate) {
    return Out(HOST_TO_INTERFACE, SET_BAUDDIV, static_cast<std::uint16_t>(BAUD_CLOCK / baudRate),
               interfaceNumber);
}

Cp210xRequest LineControlRequest(std::uint8_t interfaceNumber, std::uint16_t lineControl) {
    return Out(HOST_TO_INTERFACE, SET_LINE_CTL, lineControl, interfaceNumber);
}

std::optional<Cp210xRequest> FlowControlRequest(std::uint8_t interfaceNumber, std::uint8_t cts,
                                                std::uint8_t rts, std::uint8_t dtr,
                                                std::uint8_t dsr, std::uint8_t dcd, bool xonXoff) {
    if (cts > MAX_INPUT_CODE || dsr > MAX_INPUT_CODE || dcd > MAX_INPUT_CODE ||
        dtr > MAX_DTR_CODE || rts > MAX_RTS_CODE) {
        return std::nullopt;
    }
    const std::uint32_t handshake = dtr | (cts != 0 ? HANDSHAKE_CTS : 0) |
                                    (dsr != 0 ? HANDSHAKE_DSR : 0) | (dcd != 0 ? HANDSHAKE_DCD : 0);
    const std::uint32_t replace = (std::uint32_t{rts} << REPLACE_RTS_SHIFT) |
                                  (xonXoff ? REPLACE_AUTO_TRANSMIT | REPLACE_AUTO_RECEIVE : 0);
    const std::uint32_t limit = xonXoff ? XON_XOFF_LIMIT : 0;
    std::vector<std::uint8_t> data;
    for (const std::uint32_t field : {handshake, replace, limit, limit}) {
        PutLe32(data, field);
    }
    return Out(HOST_TO_INTERFACE, SET_FLOW, 0, interfaceNumber, std::move(data));
}

Cp210xRequest ReadLatchRequest(Cp210xGpio gpio, std::uint8_t interfaceNumber) {
    switch (gpio) {
        case Cp210xGpio::CP2105:
            return {{INTERFACE_TO_HOST, VENDOR_SPECIFIC, READ_LATCH, interfaceNumber}, {}, 1};
        case Cp210xGpio::CP2108:
            return {{INTERFACE_TO_HOST, VENDOR_SPECIFIC, READ_LATCH, interfaceNumber}, {}, 2};
        default:
            return {{DEVICE_TO_HOST, VENDOR_SPECIFIC, READ_LATCH, interfaceNumber}, {}, 1};
    }
}

std::uint8_t LatchFromReply(const std::vector<std::uint8_t>& reply) {
    return reply.empty() ? 0 : reply.front();  // the CP2108's 16-bit latch is little-endian
}

// Only the bits under mask are sent as state: the others keep their level anyway.
Cp210xRequest WriteLatchRequest(Cp210xGpio gpio, std::uint8_t interfaceNumber, std::uint8_t mask,
                                std::uint8_t value) {
    const auto state = static_cast<std::uint8_t>(value & mask);
    switch (gpio) {
        case Cp210xGpio::CP2105:
            return Out(HOST_TO_INTERFACE, VENDOR_SPECIFIC, WRITE_LATCH, interfaceNumber,
                       {mask, state});
        case Cp210xGpio::CP2108: {
            std::vector<std::uint8_t> data;
            PutLe16(data, mask);
            PutLe16(data, state);
            return Out(HOST_TO_INTERFACE, VENDOR_SPECIFIC, WRITE_LATCH, interfaceNumber,
                       std::move(data));
        }
        default:
            return Out(HOST_TO_DEVICE, VENDOR_SPECIFIC, WRITE_LATCH,
                       static_cast<std::uint16_t>(state << 8 | mask));
    }
}
