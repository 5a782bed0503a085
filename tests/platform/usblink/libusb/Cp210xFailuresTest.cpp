// Product strings, and how refusals, missing devices, bad handles and unplugging become status
// codes.
#include <cstring>

#include "tests/platform/usblink/libusb/Cp210xBridgeFixture.h"

namespace {

TEST_F(Cp210xBridgeTest, ProductStringsOfEachKind) {
    usb->strings = {{2, u"Bramlet \u00b5Link \u2192"}, {3, u"0021234"}};
    const std::pair<std::uint8_t, const char*> cases[] = {
        {BRIDGE_SERIAL_NUMBER, "0021234"},
        {BRIDGE_DESCRIPTION, "Bramlet \xb5Link ?"},
        {BRIDGE_LINK_NAME, "usb:3-1.4"},
        {BRIDGE_VID, "10c4"},
        {BRIDGE_PID, "ea60"},
    };
    for (const auto& [kind, text] : cases) {
        char buffer[BRIDGE_PRODUCT_STRING_SIZE];
        std::memset(buffer, 'x', sizeof buffer);
        ASSERT_EQ(library.GetProductString(0, buffer, kind), BRIDGE_SUCCESS);
        EXPECT_STREQ(buffer, text);
    }
}

TEST_F(Cp210xBridgeTest, ProductStringFailures) {
    struct StringCase {
        const char* name;
        std::uint32_t index;
        std::uint8_t kind;
        std::uint8_t serialIndex;
        UsbResult stringResult;
        int status;
    };
    const StringCase cases[] = {
        {"device beyond the attached ones", 1, BRIDGE_DESCRIPTION, 3, UsbResult::OK,
         BRIDGE_DEVICE_NOT_FOUND},
        {"unknown kind", 0, 5, 3, UsbResult::OK, BRIDGE_INVALID_PARAMETER},
        {"no serial number", 0, BRIDGE_SERIAL_NUMBER, 0, UsbResult::OK, BRIDGE_DEVICE_IO_FAILED},
        {"descriptor refused", 0, BRIDGE_SERIAL_NUMBER, 3, UsbResult::STALL,
         BRIDGE_DEVICE_IO_FAILED},
        {"no permission", 0, BRIDGE_DESCRIPTION, 3, UsbResult::ACCESS, BRIDGE_DEVICE_IO_FAILED},
        {"unplugged meanwhile", 0, BRIDGE_DESCRIPTION, 3, UsbResult::NO_DEVICE,
         BRIDGE_DEVICE_NOT_FOUND},
    };
    for (const StringCase& c : cases) {
        SCOPED_TRACE(c.name);
        usb->devices[0].serialIndex = c.serialIndex;
        usb->stringResult = c.stringResult;
        char buffer[BRIDGE_PRODUCT_STRING_SIZE] = "untouched";
        EXPECT_EQ(library.GetProductString(c.index, buffer, c.kind), c.status);
        EXPECT_STREQ(buffer, "untouched");
    }
}

TEST_F(Cp210xBridgeTest, LongDescriptorIsCutTo255Characters) {
    usb->strings[2] = std::u16string(300, u'A');
    char buffer[BRIDGE_PRODUCT_STRING_SIZE];
    ASSERT_EQ(library.GetProductString(0, buffer, BRIDGE_DESCRIPTION), BRIDGE_SUCCESS);
    EXPECT_EQ(std::strlen(buffer), 255u);
}

TEST_F(Cp210xBridgeTest, OpenFailures) {
    struct OpenCase {
        const char* name;
        std::uint32_t index;
        UsbResult openResult;
        std::deque<UsbResult> controlResults;
        std::vector<std::uint8_t> partReply;
        int status;
    };
    const OpenCase cases[] = {
        {"device beyond the attached ones", 1, UsbResult::OK, {}, {0x04}, BRIDGE_DEVICE_NOT_FOUND},
        {"no permission", 0, UsbResult::ACCESS, {}, {0x04}, BRIDGE_DEVICE_IO_FAILED},
        {"interface held elsewhere", 0, UsbResult::BUSY, {}, {0x04}, BRIDGE_DEVICE_IO_FAILED},
        {"unplugged meanwhile", 0, UsbResult::NO_DEVICE, {}, {0x04}, BRIDGE_DEVICE_NOT_FOUND},
        {"part number refused",
         0,
         UsbResult::OK,
         {UsbResult::STALL},
         {0x04},
         BRIDGE_DEVICE_IO_FAILED},
        {"part number missing", 0, UsbResult::OK, {}, {}, BRIDGE_DEVICE_IO_FAILED},
        {"enable refused",
         0,
         UsbResult::OK,
         {UsbResult::OK, UsbResult::TIMEOUT},
         {0x04},
         BRIDGE_DEVICE_IO_FAILED},
    };
    for (const OpenCase& c : cases) {
        SCOPED_TRACE(c.name);
        usb->openResult = c.openResult;
        usb->controlResults = c.controlResults;
        usb->inReplies[0x370B] = c.partReply;
        BridgeHandle handle = 1234;
        EXPECT_EQ(library.Open(c.index, &handle), c.status);
        EXPECT_EQ(handle, 1234);
        EXPECT_TRUE(usb->open.empty()) << "a half-opened device is released";
    }
}

TEST_F(Cp210xBridgeTest, OneHandlePerDeviceAndClosedHandlesAreInvalid) {
    const BridgeHandle handle = OpenPart();
    BridgeHandle second = NO_BRIDGE_HANDLE;
    EXPECT_EQ(library.Open(0, &second), BRIDGE_DEVICE_IO_FAILED);
    ASSERT_EQ(library.Close(handle), BRIDGE_SUCCESS);
    EXPECT_TRUE(usb->open.empty());
    usb->controls.clear();
    std::uint8_t byte = 0;
    std::uint32_t count = 0;
    const int statuses[] = {
        library.Close(handle),
        library.Read(handle, &byte, 1, &count),
        library.Write(handle, &byte, 1, &count),
        library.FlushBuffers(handle, 1, 1),
        library.CheckRxQueue(handle, &count, &count),
        library.SetBaudRate(handle, 57600),
        library.SetLineControl(handle, 0x0800),
        library.SetFlowControl(handle, 0, 0, 0, 0, 0, false),
        library.ReadLatch(handle, &byte),
        library.WriteLatch(handle, 0x08, 0),
    };
    for (const int status : statuses) {
        EXPECT_EQ(status, BRIDGE_INVALID_HANDLE);
    }
    EXPECT_TRUE(usb->controls.empty());
}

TEST_F(Cp210xBridgeTest, RefusedRequestsAndFailedEnumerationAreFailures) {
    const BridgeHandle handle = OpenPart();
    for (const UsbResult refusal : {UsbResult::STALL, UsbResult::TIMEOUT, UsbResult::FAILED}) {
        usb->controlResults = {refusal};
        EXPECT_EQ(library.WriteLatch(handle, 0x08, 0), BRIDGE_DEVICE_IO_FAILED);
    }
    usb->controlResults = {UsbResult::OK};
    EXPECT_EQ(library.WriteLatch(handle, 0x08, 0), BRIDGE_SUCCESS) << "a refusal does not stick";
    usb->inReplies[0x00C2] = {};
    std::uint8_t latch = 0x77;
    EXPECT_EQ(library.ReadLatch(handle, &latch), BRIDGE_DEVICE_IO_FAILED) << "short reply";
    EXPECT_EQ(latch, 0x77);

    usb->enumerateResult = UsbResult::FAILED;
    std::uint32_t count = 99;
    EXPECT_EQ(library.GetNumDevices(&count), BRIDGE_DEVICE_IO_FAILED);
    EXPECT_EQ(count, 99u);
}

// Unplugging fails the call that meets it and every later one without touching the bus;
// Close still gives the handle back.
TEST_F(Cp210xBridgeTest, UnpluggedDeviceFailsEveryCallUntilClosed) {
    using Call = std::function<int(IUsbBridgeLibrary&, BridgeHandle)>;
    const std::pair<const char*, Call> firstCalls[] = {
        {"write latch", [](IUsbBridgeLibrary& l, BridgeHandle h) { return l.WriteLatch(h, 8, 0); }},
        {"check queue",
         [](IUsbBridgeLibrary& l, BridgeHandle h) {
             std::uint32_t bytes = 0, status = 0;
             return l.CheckRxQueue(h, &bytes, &status);
         }},
        {"read",
         [](IUsbBridgeLibrary& l, BridgeHandle h) {
             std::uint8_t buffer[4];
             std::uint32_t got = 0;
             return l.Read(h, buffer, 4, &got);
         }},
        {"write",
         [](IUsbBridgeLibrary& l, BridgeHandle h) {
             const std::uint8_t buffer[4] = {};
             std::uint32_t written = 0;
             return l.Write(h, buffer, 4, &written);
         }},
    };
    for (const auto& [name, call] : firstCalls) {
        SCOPED_TRACE(name);
        usb->devices = {CFakeUsbTransport::Cp2104()};
        usb->gone = false;
        const BridgeHandle handle = OpenPart();
        usb->Unplug();
        EXPECT_EQ(call(library, handle), BRIDGE_DEVICE_IO_FAILED);
        const std::size_t requests = usb->controls.size();
        const std::size_t polls = usb->bulkInTimeouts.size();
        EXPECT_EQ(library.SetBaudRate(handle, 57600), BRIDGE_DEVICE_IO_FAILED);
        EXPECT_EQ(library.FlushBuffers(handle, 1, 1), BRIDGE_DEVICE_IO_FAILED);
        EXPECT_EQ(library.Close(handle), BRIDGE_DEVICE_IO_FAILED);
        EXPECT_EQ(usb->controls.size(), requests);
        EXPECT_EQ(usb->bulkInTimeouts.size(), polls);
        EXPECT_TRUE(usb->open.empty());
        EXPECT_EQ(library.Close(handle), BRIDGE_INVALID_HANDLE);
        std::uint32_t count = 99;
        ASSERT_EQ(library.GetNumDevices(&count), BRIDGE_SUCCESS);
        EXPECT_EQ(count, 0u);
    }
}

TEST(Cp210xBridge, HandlesLeftOpenAreReleasedWithTheLibrary) {
    int closes = 0;
    {
        auto transport = std::make_unique<CFakeUsbTransport>();
        transport->closeCounter = &closes;
        CCp210xUsbBridge library{std::move(transport)};
        BridgeHandle handle = NO_BRIDGE_HANDLE;
        ASSERT_EQ(library.Open(0, &handle), BRIDGE_SUCCESS);
        ASSERT_EQ(closes, 0);
    }
    EXPECT_EQ(closes, 1);
}

}  // namespace
