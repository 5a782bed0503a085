// The control requests each bridge operation puts on the bus, byte for byte, per part number.
#include <functional>

#include "tests/platform/usblink/libusb/Cp210xBridgeFixture.h"

namespace {

using Action = std::function<int(IUsbBridgeLibrary&, BridgeHandle)>;

struct RequestCase {
    const char* name;
    std::uint8_t part;
    Action action;
    int status;
    std::vector<RecordedControl> requests;
};

RecordedControl Out(std::uint8_t type, std::uint8_t request, std::uint16_t value,
                    std::uint16_t index, std::vector<std::uint8_t> data = {}) {
    const auto length = static_cast<std::uint16_t>(data.size());
    return {{type, request, value, index}, std::move(data), length};
}
RecordedControl In(std::uint8_t type, std::uint16_t value, std::uint16_t index,
                   std::uint16_t length) {
    return {{type, 0xFF, value, index}, {}, length};
}

Action Flush(std::uint8_t transmit, std::uint8_t receive) {
    return
        [=](IUsbBridgeLibrary& l, BridgeHandle h) { return l.FlushBuffers(h, transmit, receive); };
}
Action Baud(std::uint32_t rate) {
    return [=](IUsbBridgeLibrary& l, BridgeHandle h) { return l.SetBaudRate(h, rate); };
}
Action Line(std::uint16_t control) {
    return [=](IUsbBridgeLibrary& l, BridgeHandle h) { return l.SetLineControl(h, control); };
}
Action Flow(std::uint8_t cts, std::uint8_t rts, std::uint8_t dtr, std::uint8_t dsr,
            std::uint8_t dcd, bool xonXoff) {
    return [=](IUsbBridgeLibrary& l, BridgeHandle h) {
        return l.SetFlowControl(h, cts, rts, dtr, dsr, dcd, xonXoff);
    };
}
Action Latch(std::uint8_t mask, std::uint8_t value) {
    return [=](IUsbBridgeLibrary& l, BridgeHandle h) { return l.WriteLatch(h, mask, value); };
}
int ReadLatch(IUsbBridgeLibrary& l, BridgeHandle h) {
    std::uint8_t latch = 0;
    return l.ReadLatch(h, &latch);
}
int Close(IUsbBridgeLibrary& l, BridgeHandle h) {
    return l.Close(h);
}

std::vector<std::uint8_t> Flow16(std::uint8_t handshake, std::uint8_t replace, std::uint8_t limit) {
    return {handshake, 0, 0, 0, replace, 0, 0, 0, limit, 0, 0, 0, limit, 0, 0, 0};
}

const RequestCase REQUEST_CASES[] = {
    {"close purges both queues then disables the UART",
     0x04,
     Close,
     BRIDGE_SUCCESS,
     {Out(0x41, 0x12, 0x000F, 0), Out(0x41, 0x00, 0, 0)}},
    {"flush both", 0x04, Flush(1, 1), BRIDGE_SUCCESS, {Out(0x41, 0x12, 0x000F, 0)}},
    {"flush transmit", 0x04, Flush(1, 0), BRIDGE_SUCCESS, {Out(0x41, 0x12, 0x0005, 0)}},
    {"flush receive", 0x04, Flush(0, 1), BRIDGE_SUCCESS, {Out(0x41, 0x12, 0x000A, 0)}},
    {"flush nothing", 0x04, Flush(0, 0), BRIDGE_SUCCESS, {}},
    {"baud 57600",
     0x04,
     Baud(57600),
     BRIDGE_SUCCESS,
     {Out(0x41, 0x1E, 0, 0, {0x00, 0xE1, 0x00, 0x00})}},
    {"baud 3M on a CP2102N",
     0x20,
     Baud(3000000),
     BRIDGE_SUCCESS,
     {Out(0x41, 0x1E, 0, 0, {0xC0, 0xC6, 0x2D, 0x00})}},
    {"baud 3M beyond a CP2104", 0x04, Baud(3000000), BRIDGE_INVALID_BAUDRATE, {}},
    {"baud 0", 0x04, Baud(0), BRIDGE_INVALID_BAUDRATE, {}},
    {"line 8N1", 0x04, Line(0x0800), BRIDGE_SUCCESS, {Out(0x41, 0x03, 0x0800, 0)}},
    {"line 7E2", 0x04, Line(0x0722), BRIDGE_SUCCESS, {Out(0x41, 0x03, 0x0722, 0)}},
    {"line 9 data bits", 0x04, Line(0x0900), BRIDGE_INVALID_PARAMETER, {}},
    {"line parity 5", 0x04, Line(0x0850), BRIDGE_INVALID_PARAMETER, {}},
    {"line stop code 3", 0x04, Line(0x0803), BRIDGE_INVALID_PARAMETER, {}},
    {"no flow control: sixteen zero bytes",
     0x04,
     Flow(0, 0, 0, 0, 0, false),
     BRIDGE_SUCCESS,
     {Out(0x41, 0x13, 0, 0, Flow16(0x00, 0x00, 0))}},
    {"every handshake and XON/XOFF",
     0x04,
     Flow(1, 2, 2, 1, 1, true),
     BRIDGE_SUCCESS,
     {Out(0x41, 0x13, 0, 0, Flow16(0x3A, 0x83, 128))}},
    {"DTR held active, RTS transmit-active",
     0x04,
     Flow(0, 3, 1, 0, 0, false),
     BRIDGE_SUCCESS,
     {Out(0x41, 0x13, 0, 0, Flow16(0x01, 0xC0, 0))}},
    {"CTS code out of range", 0x04, Flow(2, 0, 0, 0, 0, false), BRIDGE_INVALID_PARAMETER, {}},
    {"RTS code out of range", 0x04, Flow(0, 4, 0, 0, 0, false), BRIDGE_INVALID_PARAMETER, {}},
    {"DTR code out of range", 0x04, Flow(0, 0, 3, 0, 0, false), BRIDGE_INVALID_PARAMETER, {}},
};

TEST_F(Cp210xBridgeTest, EachOperationSendsItsRequest) {
    for (const RequestCase& c : REQUEST_CASES) {
        SCOPED_TRACE(c.name);
        const BridgeHandle handle = OpenPart(c.part);
        EXPECT_EQ(c.action(library, handle), c.status);
        EXPECT_EQ(usb->controls, c.requests);
        library.Close(handle);
    }
}

TEST_F(Cp210xBridgeTest, OpenReadsThePartNumberThenEnablesTheUart) {
    BridgeHandle handle = NO_BRIDGE_HANDLE;
    ASSERT_EQ(library.Open(0, &handle), BRIDGE_SUCCESS);
    EXPECT_NE(handle, NO_BRIDGE_HANDLE);
    EXPECT_EQ(usb->claimedInterface, 0);
    EXPECT_EQ(usb->controls,
              (std::vector<RecordedControl>{In(0xC0, 0x370B, 0, 1), Out(0x41, 0x00, 1, 0)}));
}

// The latch requests differ between part families; parts without host-driven GPIO get none.
TEST_F(Cp210xBridgeTest, LatchRequestsFollowThePartNumber) {
    struct LatchCase {
        std::uint8_t part;
        Action action;
        int status;
        std::vector<RecordedControl> requests;
    };
    const LatchCase cases[] = {
        {0x03, Latch(0x08, 0x00), BRIDGE_SUCCESS, {Out(0x40, 0xFF, 0x37E1, 0x0008)}},
        {0x04, Latch(0x03, 0x01), BRIDGE_SUCCESS, {Out(0x40, 0xFF, 0x37E1, 0x0103)}},
        {0x04, Latch(0x04, 0xFF), BRIDGE_SUCCESS, {Out(0x40, 0xFF, 0x37E1, 0x0404)}},
        {0x22, Latch(0x08, 0x08), BRIDGE_SUCCESS, {Out(0x40, 0xFF, 0x37E1, 0x0808)}},
        {0x05, Latch(0x03, 0x02), BRIDGE_SUCCESS, {Out(0x41, 0xFF, 0x37E1, 0, {0x03, 0x02})}},
        {0x08,
         Latch(0x0C, 0x04),
         BRIDGE_SUCCESS,
         {Out(0x41, 0xFF, 0x37E1, 0, {0x0C, 0x00, 0x04, 0x00})}},
        {0x01, Latch(0x08, 0x00), BRIDGE_FUNCTION_NOT_SUPPORTED, {}},
        {0x02, Latch(0x08, 0x00), BRIDGE_FUNCTION_NOT_SUPPORTED, {}},
        {0x99, Latch(0x08, 0x00), BRIDGE_FUNCTION_NOT_SUPPORTED, {}},
        {0x04, ReadLatch, BRIDGE_SUCCESS, {In(0xC0, 0x00C2, 0, 1)}},
        {0x20, ReadLatch, BRIDGE_SUCCESS, {In(0xC0, 0x00C2, 0, 1)}},
        {0x05, ReadLatch, BRIDGE_SUCCESS, {In(0xC1, 0x00C2, 0, 1)}},
        {0x08, ReadLatch, BRIDGE_SUCCESS, {In(0xC1, 0x00C2, 0, 2)}},
        {0x02, ReadLatch, BRIDGE_FUNCTION_NOT_SUPPORTED, {}},
    };
    for (const LatchCase& c : cases) {
        SCOPED_TRACE(testing::Message() << "part " << int{c.part});
        usb->inReplies[0x00C2] = {0x5A, 0x01};
        const BridgeHandle handle = OpenPart(c.part);
        EXPECT_EQ(c.action(library, handle), c.status);
        EXPECT_EQ(usb->controls, c.requests);
        library.Close(handle);
    }
}

TEST_F(Cp210xBridgeTest, ReadLatchGivesGpio0To7) {
    const std::pair<std::uint8_t, std::vector<std::uint8_t>> cases[] = {
        {0x04, {0x0B}}, {0x05, {0x02}}, {0x08, {0xF3, 0x81}}};
    for (const auto& [part, reply] : cases) {
        usb->inReplies[0x00C2] = reply;
        const BridgeHandle handle = OpenPart(part);
        std::uint8_t latch = 0;
        ASSERT_EQ(library.ReadLatch(handle, &latch), BRIDGE_SUCCESS);
        EXPECT_EQ(latch, reply.front());
        library.Close(handle);
    }
}

// Older CP2101-3 firmware may refuse SET_BAUDRATE; those parts take the legacy divisor.
TEST_F(Cp210xBridgeTest, RefusedBaudRateFallsBackToTheDivisorOnOlderPartsOnly) {
    const std::pair<std::uint8_t, int> cases[] = {{0x03, BRIDGE_SUCCESS},
                                                  {0x04, BRIDGE_DEVICE_IO_FAILED}};
    for (const auto& [part, status] : cases) {
        const BridgeHandle handle = OpenPart(part);
        usb->controlResults = {UsbResult::STALL};
        EXPECT_EQ(library.SetBaudRate(handle, 57600), status);
        std::vector<RecordedControl> expected{Out(0x41, 0x1E, 0, 0, {0x00, 0xE1, 0x00, 0x00})};
        if (status == BRIDGE_SUCCESS) {
            expected.push_back(Out(0x41, 0x01, 64, 0));  // 3686400 / 57600
        }
        EXPECT_EQ(usb->controls, expected);
        library.Close(handle);
    }
}

}  // namespace
