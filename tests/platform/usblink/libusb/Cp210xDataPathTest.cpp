// Reads drained through the host-side receive queue, and writes with their time limits.
#include <numeric>

#include "tests/platform/usblink/libusb/Cp210xBridgeFixture.h"

namespace {

std::vector<std::uint8_t> Bytes(std::size_t count, std::uint8_t first = 0) {
    std::vector<std::uint8_t> bytes(count);
    std::iota(bytes.begin(), bytes.end(), first);
    return bytes;
}

struct Queue {
    std::uint32_t bytes = 0xDEAD;
    std::uint32_t status = 0xDEAD;
};

class Cp210xDataPath : public Cp210xBridgeTest {
protected:
    Queue Check() {
        Queue queue;
        EXPECT_EQ(library.CheckRxQueue(handle, &queue.bytes, &queue.status), BRIDGE_SUCCESS);
        return queue;
    }
    std::vector<std::uint8_t> ReadUpTo(std::uint32_t count) {
        std::vector<std::uint8_t> buffer(count);
        std::uint32_t got = 0;
        EXPECT_EQ(library.Read(handle, buffer.data(), count, &got), BRIDGE_SUCCESS);
        buffer.resize(got);
        return buffer;
    }

    BridgeHandle handle = OpenPart();
};

TEST_F(Cp210xDataPath, CheckPollsBrieflyAndReadsTakeFromTheHostQueueInOrder) {
    usb->bulkIn = {{UsbResult::OK, Bytes(6, 1)}, {UsbResult::TIMEOUT, Bytes(4, 7)}};
    Queue queue = Check();
    EXPECT_EQ(queue.bytes, 6u);
    EXPECT_EQ(queue.status, BRIDGE_RX_READY);
    EXPECT_EQ(ReadUpTo(4), Bytes(4, 1));
    EXPECT_EQ(Check().bytes, 6u) << "bytes a timed-out poll moved are kept";
    EXPECT_EQ(ReadUpTo(100), (std::vector<std::uint8_t>{5, 6, 7, 8, 9, 10}));
    queue = Check();
    EXPECT_EQ(queue.bytes, 0u);
    EXPECT_EQ(queue.status, BRIDGE_RX_EMPTY);
    EXPECT_EQ(usb->bulkInEndpoint, 0x81);
    EXPECT_EQ(usb->bulkInTimeouts, (std::vector<std::uint32_t>{5, 5, 5})) << "reads used the queue";
}

TEST_F(Cp210xDataPath, MoreThanOneReadWantsStaysForTheNextRead) {
    usb->bulkIn = {{UsbResult::OK, Bytes(4096)}, {UsbResult::OK, Bytes(904)}};
    Check();
    EXPECT_EQ(Check().bytes, 5000u);
    const std::vector<std::uint8_t> first = ReadUpTo(4095);
    ASSERT_EQ(first.size(), 4095u);
    EXPECT_EQ(first.back(), static_cast<std::uint8_t>(4094));
    EXPECT_EQ(Check().bytes, 905u);
    const std::vector<std::uint8_t> rest = ReadUpTo(4095);
    ASSERT_EQ(rest.size(), 905u);
    EXPECT_EQ(rest.front(), static_cast<std::uint8_t>(4095));
}

// With the host queue empty a read waits on the bus, at most the read timeout.
TEST_F(Cp210xDataPath, ReadOfAnEmptyQueueWaitsTheReadTimeout) {
    struct ReadCase {
        std::uint32_t timeoutMs;
        BulkReply reply;
        int status;
        std::uint32_t got;
        std::uint32_t transferTimeout;
    };
    const ReadCase cases[] = {
        {65535, {UsbResult::OK, Bytes(3)}, BRIDGE_SUCCESS, 3, 65535},
        {200, {UsbResult::TIMEOUT, Bytes(2)}, BRIDGE_SUCCESS, 2, 200},
        {200, {UsbResult::TIMEOUT, {}}, BRIDGE_READ_TIMED_OUT, 99, 200},
        {0, {UsbResult::TIMEOUT, {}}, BRIDGE_READ_TIMED_OUT, 99, 1},
        {200, {UsbResult::STALL, {}}, BRIDGE_READ_ERROR, 99, 200},
    };
    for (const ReadCase& c : cases) {
        usb->bulkIn = {c.reply};
        usb->bulkInTimeouts.clear();
        library.SetTimeouts(c.timeoutMs, 1000);
        std::uint8_t buffer[16] = {};
        std::uint32_t got = 99;
        EXPECT_EQ(library.Read(handle, buffer, sizeof buffer, &got), c.status);
        EXPECT_EQ(got, c.got);
        EXPECT_EQ(usb->bulkInTimeouts, std::vector<std::uint32_t>{c.transferTimeout});
    }
}

TEST_F(Cp210xDataPath, FlushingTheReceiveQueueDropsWhatTheHostHolds) {
    usb->bulkIn = {{UsbResult::OK, Bytes(10)}};
    Check();
    ASSERT_EQ(library.FlushBuffers(handle, 1, 0), BRIDGE_SUCCESS);
    EXPECT_EQ(Check().bytes, 10u) << "a transmit flush keeps received bytes";
    ASSERT_EQ(library.FlushBuffers(handle, 0, 1), BRIDGE_SUCCESS);
    EXPECT_EQ(Check().bytes, 0u);
}

TEST_F(Cp210xDataPath, WriteReportsWhatMovedWithinTheWriteTimeout) {
    struct WriteCase {
        const char* name;
        UsbResult result;
        std::uint32_t accepts;
        int status;
        std::uint32_t written;
    };
    const WriteCase cases[] = {
        {"whole", UsbResult::OK, UINT32_MAX, BRIDGE_SUCCESS, 12},
        {"short", UsbResult::OK, 5, BRIDGE_SUCCESS, 5},
        {"timed out", UsbResult::TIMEOUT, 5, BRIDGE_WRITE_TIMED_OUT, 99},
        {"refused", UsbResult::STALL, 0, BRIDGE_WRITE_ERROR, 99},
        {"failed", UsbResult::FAILED, 0, BRIDGE_WRITE_ERROR, 99},
    };
    library.SetTimeouts(65535, 750);
    const std::vector<std::uint8_t> message = Bytes(12, 0xA0);
    for (const WriteCase& c : cases) {
        SCOPED_TRACE(c.name);
        usb->bulkOutResult = c.result;
        usb->bulkOutAccepts = c.accepts;
        usb->bulkOutTimeouts.clear();
        usb->written.clear();
        std::uint32_t written = 99;
        EXPECT_EQ(library.Write(handle, message.data(), 12, &written), c.status);
        EXPECT_EQ(written, c.written);
        EXPECT_EQ(usb->bulkOutTimeouts, std::vector<std::uint32_t>{750});
        EXPECT_EQ(usb->bulkOutEndpoint, 0x01);
    }
    usb->bulkOutResult = UsbResult::OK;
    usb->bulkOutAccepts = UINT32_MAX;
    usb->written.clear();
    std::uint32_t written = 0;
    ASSERT_EQ(library.Write(handle, message.data(), 12, &written), BRIDGE_SUCCESS);
    EXPECT_EQ(usb->written, message);
}

}  // namespace
