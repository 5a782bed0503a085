// CBridgePort against the simulated Bramlet: open and close sequences, the inverted stream with
// zero skipping and the 4095-byte limit, widening, product strings, allocation failures.
#include <gtest/gtest.h>

#include <functional>
#include <new>

#include "platform/clock/Clock.h"
#include "platform/usblink/sim/SimUsbBridge.h"
#include "quillon/link/BridgePort.h"
#include "tests/quillon/link/RecordingBridge.h"
#include "tests/sim/RecordingTarget.h"
#include "tests/support/TempDir.h"

namespace {
bool failNothrowArrays = false;
}  // namespace

// The port allocates its work buffers with the non-throwing array form; tests make it fail.
// Otherwise the memory comes from the ordinary array form, so the port's delete[] matches it.
void* operator new[](std::size_t size, const std::nothrow_t&) noexcept {
    if (failNothrowArrays) {
        return nullptr;
    }
    try {
        return ::operator new[](size);
    } catch (...) {
        return nullptr;
    }
}

namespace {

using Calls = std::vector<std::string>;

const char* ONE_DONGLE = R"({"dongles":[{"serial":"0020000001"}]})";

class BridgePort : public testing::Test {
protected:
    void SetUp() override { InstallClock(&clock); }
    void TearDown() override {
        InstallUsbBridge(nullptr);
        InstallClock(nullptr);
    }

    void Plug(const char* stateJson = ONE_DONGLE) {
        CTempDir::Write(path, stateJson);
        sim = std::make_unique<CSimUsbBridge>(path, "", RecordingTargets(log));
        recorder = std::make_unique<CRecordingBridge>(*sim);
        InstallUsbBridge(recorder.get());
    }
    void OpenFirst() {
        ASSERT_EQ(port.Open(1), PORT_OK);
        recorder->calls.clear();
    }
    // Raw bytes from the target side, read once they have all arrived.
    void Arrive(const std::string& raw) {
        sim->Bramlet().Dongle(0).Link().SendRaw(raw, clock.NowMicros());
        clock.Advance(SimWireMicros(static_cast<std::int64_t>(raw.size())));
    }
    CSimLink& Link() { return sim->Bramlet().Dongle(0).Link(); }

    CVirtualClock clock{5000000};
    CTempDir temp;
    std::string path = temp.File("state.json");
    std::shared_ptr<TargetLog> log = std::make_shared<TargetLog>();
    std::unique_ptr<CSimUsbBridge> sim;
    std::unique_ptr<CRecordingBridge> recorder;
    CBridgePort port;
};

TEST_F(BridgePort, OpenConfiguresTheBridgeInOrderAndWritesNoData) {
    Plug();
    ASSERT_EQ(port.Open(1), PORT_OK);
    EXPECT_EQ(recorder->calls,
              (Calls{"Open 0", "FlushBuffers 1 1", "SetBaudRate 57600", "SetTimeouts 65535 65535",
                     "SetLineControl 0800", "SetFlowControl 000000", "WriteLatch 08 00"}));
    EXPECT_NE(port.GetHandle(), NO_BRIDGE_HANDLE);
    EXPECT_EQ(port.GetDeviceIndex(), 0);
    EXPECT_EQ(Link().Settings().baudRate, 57600u);
    EXPECT_EQ(Link().Settings().lineControl, 0x0800);
    EXPECT_EQ(sim->ReadTimeoutMs(), 65535u);
    EXPECT_EQ(sim->WriteTimeoutMs(), 65535u);
    EXPECT_EQ(Link().Latch(), 0xF7);  // GPIO3 low powers the target
    clock.Advance(100000);
    sim->Bramlet().Update();
    EXPECT_EQ(log->bytes, "");
}

class OpenFailure : public BridgePort, public testing::WithParamInterface<const char*> {};

TEST_P(OpenFailure, ClosesTheDeviceAndKeepsTheLastIndex) {
    Plug(R"({"dongles":[{"serial":"0020000001"},{"serial":"0020000002"}]})");
    ASSERT_EQ(port.Open(2), PORT_OK);
    ASSERT_EQ(port.Close(), PORT_OK);
    recorder->failing = GetParam();
    EXPECT_EQ(port.Open(1), PORT_FAILED);
    EXPECT_EQ(port.GetHandle(), NO_BRIDGE_HANDLE);
    EXPECT_EQ(port.GetDeviceIndex(), 1);
    EXPECT_EQ(recorder->calls.back(), "Close");
    recorder->failing.clear();
    EXPECT_EQ(port.Open(1), PORT_OK) << "the device was released";
}

INSTANTIATE_TEST_SUITE_P(EachStep, OpenFailure,
                         testing::Values("Open", "FlushBuffers", "SetBaudRate", "SetTimeouts",
                                         "SetLineControl", "SetFlowControl", "WriteLatch"));

TEST_F(BridgePort, OpenBeyondTheAttachedDevicesFails) {
    Plug();
    for (const int deviceNumber : {2, 3, 0}) {
        EXPECT_EQ(port.Open(deviceNumber), PORT_FAILED) << deviceNumber;
        EXPECT_EQ(port.GetHandle(), NO_BRIDGE_HANDLE);
        EXPECT_EQ(port.GetDeviceIndex(), -1);
    }
}

TEST_F(BridgePort, CloseIdlesTheLatchWaitsFlushesAndCloses) {
    Plug();
    OpenFirst();
    const std::int64_t before = clock.NowMicros();
    EXPECT_EQ(port.Close(), PORT_OK);
    EXPECT_EQ(recorder->calls, (Calls{"WriteLatch 04 00", "WriteLatch 08 08", "WriteLatch 03 03",
                                      "FlushBuffers 1 1", "Close"}));
    EXPECT_EQ(clock.NowMicros() - before, 25000);
    EXPECT_EQ(Link().Latch(), 0xFB);  // GPIO2 low, GPIO3 high, GPIO1 and GPIO0 high
    EXPECT_EQ(port.GetHandle(), NO_BRIDGE_HANDLE);
    EXPECT_EQ(port.GetDeviceIndex(), 0);
}

struct CloseFailureCase {
    const char* failing;
    std::size_t callsMade;
};

class CloseFailure : public BridgePort, public testing::WithParamInterface<CloseFailureCase> {};

TEST_P(CloseFailure, StopsThereAndForgetsTheHandle) {
    const Calls all{"WriteLatch 04 00", "WriteLatch 08 08", "WriteLatch 03 03", "FlushBuffers 1 1",
                    "Close"};
    Plug();
    OpenFirst();
    recorder->failing = GetParam().failing;
    EXPECT_EQ(port.Close(), PORT_FAILED);
    EXPECT_EQ(recorder->calls, Calls(all.begin(), all.begin() + GetParam().callsMade));
    EXPECT_EQ(port.GetHandle(), NO_BRIDGE_HANDLE);
}

INSTANTIATE_TEST_SUITE_P(EachStep, CloseFailure,
                         testing::Values(CloseFailureCase{"WriteLatch 04", 1},
                                         CloseFailureCase{"WriteLatch 08", 2},
                                         CloseFailureCase{"WriteLatch 03", 3},
                                         CloseFailureCase{"FlushBuffers", 4},
                                         CloseFailureCase{"Close", 5}));

TEST_F(BridgePort, CloseOnAnUnpluggedDongleFailsAtTheFirstLatchWrite) {
    Plug();
    OpenFirst();
    CTempDir::Write(path, R"({"dongles":[]})");
    EXPECT_EQ(port.GetDeviceCount(), 0);
    recorder->calls.clear();
    EXPECT_EQ(port.Close(), PORT_FAILED);
    EXPECT_EQ(recorder->calls, (Calls{"WriteLatch 04 00"}));
    EXPECT_EQ(port.GetHandle(), NO_BRIDGE_HANDLE);
}

struct WriteCase {
    const char* name;
    std::u16string message;
    bool wide;
    std::string delivered;  // what the target receives, complemented back
    const char* failing;
    bool shortWrite;
    int result;
};

class WriteText : public BridgePort, public testing::WithParamInterface<WriteCase> {};

TEST_P(WriteText, PutsTheComplementOfEveryByteOnTheWire) {
    const WriteCase& c = GetParam();
    Plug();
    OpenFirst();
    recorder->failing = c.failing;
    recorder->shortWrite = c.shortWrite;
    const std::string narrow(c.message.begin(), c.message.end());
    const int result =
        c.wide ? port.WriteWideText(c.message.c_str()) : port.WriteText(narrow.c_str());
    EXPECT_EQ(result, c.result);
    std::string wire;
    for (const char byte : c.delivered) {
        wire += static_cast<char>(~byte);
    }
    EXPECT_EQ(std::string(recorder->lastWrite.begin(), recorder->lastWrite.end()), wire);
    clock.Advance(1000000);
    sim->Bramlet().Update();
    EXPECT_EQ(log->bytes, c.result == PORT_OK || c.shortWrite ? c.delivered : "");
}

INSTANTIATE_TEST_SUITE_P(
    Cases, WriteText,
    testing::Values(
        WriteCase{"sync", u"[cmd<sync>]\n", false, "[cmd<sync>]\n", "", false, PORT_OK},
        WriteCase{"empty", u"", false, "", "", false, PORT_OK},
        WriteCase{"short_write", u"[cmd<erase>]\n", false, "[cmd<erase>]\n", "", true, PORT_FAILED},
        WriteCase{"library_failure", u"[x]", false, "[x]", "Write", false, PORT_FAILED},
        WriteCase{"wide_low_bytes", u"[\u1234\u00FF]", true, "[\x34\xFF]", "", false, PORT_OK},
        WriteCase{"wide_stops_at_zero_low_byte", u"AB\u0100CD", true, "AB", "", false, PORT_OK}),
    [](const auto& info) { return std::string(info.param.name); });

TEST_F(BridgePort, SyncCommandLeavesAsA4ThroughF5) {
    Plug();
    OpenFirst();
    ASSERT_EQ(port.WriteText("[cmd<sync>]\n"), PORT_OK);
    ASSERT_EQ(recorder->lastWrite.size(), 12u);
    EXPECT_EQ(recorder->lastWrite.front(), 0xA4);
    EXPECT_EQ(recorder->lastWrite.back(), 0xF5);
}

TEST_F(BridgePort, MessagesBeyondTheWorkBufferAreRefused) {
    Plug();
    OpenFirst();
    const std::string longText(PORT_WORK_BUFFER_SIZE + 1, 'a');
    const std::u16string longWide(PORT_WORK_BUFFER_SIZE, u'a');
    EXPECT_EQ(port.WriteText(longText.c_str()), PORT_FAILED);
    EXPECT_EQ(port.WriteWideText(longWide.c_str()), PORT_FAILED);
    EXPECT_EQ(recorder->calls, Calls{});
    const std::u16string longestWide(PORT_WORK_BUFFER_SIZE - 1, u'a');
    EXPECT_EQ(port.WriteWideText(longestWide.c_str()), PORT_OK);
}

struct ReadCase {
    const char* name;
    std::string raw;
    int bytesResult;
    std::string bytes;
    int wideResult;
    std::u16string wide;
};

class Read : public BridgePort, public testing::WithParamInterface<ReadCase> {};

TEST_P(Read, ReadBytesSkipsLeadingZerosAndComplements) {
    Plug();
    OpenFirst();
    Arrive(GetParam().raw);
    std::uint8_t buffer[PORT_WORK_BUFFER_SIZE];
    std::fill(std::begin(buffer), std::end(buffer), 0xEE);
    const int count = port.ReadBytes(buffer);
    EXPECT_EQ(count, GetParam().bytesResult);
    if (count >= 0) {
        EXPECT_EQ(std::string(buffer, buffer + count), GetParam().bytes);
    }
}

TEST_P(Read, ReadWideTextWidensSignedAndWritesNoTerminator) {
    Plug();
    OpenFirst();
    Arrive(GetParam().raw);
    char16_t buffer[PORT_WORK_BUFFER_SIZE];
    std::fill(std::begin(buffer), std::end(buffer), u'Z');
    const int count = port.ReadWideText(buffer);
    EXPECT_EQ(count, GetParam().wideResult);
    const std::size_t shown = static_cast<std::size_t>(std::max(count, 0));
    EXPECT_EQ(std::u16string(buffer, shown), GetParam().wide);
    EXPECT_EQ(buffer[shown], u'Z');
}

INSTANTIATE_TEST_SUITE_P(
    Cases, Read,
    testing::Values(
        ReadCase{"leading_zeros", std::string("\x00\x00\xA4\xF5", 4), 2, "[\n", 2, u"[\n"},
        ReadCase{"all_zeros", std::string(3, '\0'), 0, "", -1, u""},
        ReadCase{"nothing_waiting", "", -1, "", -1, u""},
        ReadCase{"inner_zero_kept", std::string("\xA4\x00\xF5", 3), 3, "[\xFF\n", 3, u"[\xFFFF\n"},
        ReadCase{"byte_7F", "\x80", 1, "\x7F", 1, u"\x007F"},
        ReadCase{"byte_80", "\x7F", 1, "\x80", 1, u"\xFF80"}),
    [](const auto& info) { return std::string(info.param.name); });

TEST_F(BridgePort, OneReadTakesAtMost4095BytesAndLeavesTheRest) {
    Plug();
    OpenFirst();
    Arrive(std::string(5000, '\xBE'));
    std::uint8_t buffer[PORT_WORK_BUFFER_SIZE] = {};
    EXPECT_EQ(port.ReadBytes(buffer), 4095);
    EXPECT_EQ(buffer[4094], 0x41);
    EXPECT_EQ(port.ReadBytes(buffer), 905);
    EXPECT_EQ(port.ReadBytes(buffer), PORT_FAILED);
    EXPECT_EQ(recorder->calls[1], "Read 4095");
}

using ProductQuery = int (CBridgePort::*)(char16_t*);

struct ProductCase {
    const char* name;
    ProductQuery query;
    std::u16string expected;
};

class ProductString : public BridgePort, public testing::WithParamInterface<ProductCase> {};

// The product string is "Bramlet é" in UTF-8: the bytes 0xC3 0xA9 widen to 0xFFC3 0xFFA9.
TEST_P(ProductString, AsksAboutTheLastOpenedDeviceAndWidens) {
    Plug(R"({"dongles":[{"serial":"0010000007"},
            {"serial":"0020000042","product":"Bramlet é","vid":4660,"pid":43981}]})");
    ASSERT_EQ(port.Open(2), PORT_OK);
    ASSERT_EQ(port.Close(), PORT_OK);
    char16_t buffer[PORT_PRODUCT_STRING_SIZE];
    std::fill(std::begin(buffer), std::end(buffer), u'Z');
    EXPECT_EQ((port.*GetParam().query)(buffer), PORT_OK);
    const std::size_t length = GetParam().expected.size();
    EXPECT_EQ(std::u16string(buffer, length), GetParam().expected);
    EXPECT_EQ(buffer[length], u'Z');
}

INSTANTIATE_TEST_SUITE_P(
    Kinds, ProductString,
    testing::Values(ProductCase{"serial", &CBridgePort::GetSerialNumber, u"0020000042"},
                    ProductCase{"description", &CBridgePort::GetDescription,
                                u"Bramlet \xFFC3\xFFA9"},
                    ProductCase{"link_name", &CBridgePort::GetLinkName, u"sim:2"},
                    ProductCase{"vid", &CBridgePort::GetVid, u"1234"},
                    ProductCase{"pid", &CBridgePort::GetPid, u"abcd"}),
    [](const auto& info) { return std::string(info.param.name); });

TEST_F(BridgePort, ProductStringFailsWhenUnreadableOrNothingWasOpened) {
    Plug(R"({"dongles":[{"serial":"0020000001","serial_readable":false}]})");
    char16_t buffer[PORT_PRODUCT_STRING_SIZE] = {};
    EXPECT_EQ(port.GetDescription(buffer), PORT_FAILED) << "no device opened yet";
    OpenFirst();
    EXPECT_EQ(port.GetSerialNumber(buffer), PORT_FAILED);
    EXPECT_EQ(port.GetDescription(buffer), PORT_OK);
}

TEST_F(BridgePort, NeedsUpdateFollowsTheSerialNumberPrefix) {
    Plug(R"({"dongles":[{"serial":"0020000001"},{"serial":"0010000001"},{"serial":"00"},
            {"serial":""},{"serial":"0020000001","serial_readable":false},
            {"serial":"1002"}]})");
    const std::pair<int, int> cases[] = {{1, 0}, {2, 1}, {3, 1}, {4, 1}, {5, 0}, {6, 1}, {7, 0}};
    for (const auto& [deviceNumber, expected] : cases) {
        EXPECT_EQ(port.NeedsUpdate(deviceNumber), expected) << "device " << deviceNumber;
    }
}

TEST_F(BridgePort, DeviceCountIsZeroWhenTheLibraryFails) {
    Plug(R"({"dongles":[{},{},{"attached":false},{}]})");
    EXPECT_EQ(port.GetDeviceCount(), 3);
    recorder->failing = "GetNumDevices";
    EXPECT_EQ(port.GetDeviceCount(), 0);
}

using PortOperation = std::function<int(CBridgePort&)>;

struct OperationCase {
    const char* name;
    PortOperation operation;
};

const OperationCase BUFFERED_OPERATIONS[] = {
    {"WriteText", [](CBridgePort& p) { return p.WriteText("[x]"); }},
    {"WriteWideText", [](CBridgePort& p) { return p.WriteWideText(u"[x]"); }},
    {"ReadWideText",
     [](CBridgePort& p) {
         char16_t buffer[PORT_WORK_BUFFER_SIZE];
         return p.ReadWideText(buffer);
     }},
    {"GetSerialNumber",
     [](CBridgePort& p) {
         char16_t buffer[PORT_PRODUCT_STRING_SIZE];
         return p.GetSerialNumber(buffer);
     }},
};

class AllocationFailure : public BridgePort, public testing::WithParamInterface<OperationCase> {};

TEST_P(AllocationFailure, ReturnsMinusNineWithoutCallingTheLibrary) {
    Plug();
    OpenFirst();
    Arrive("\xA4");
    failNothrowArrays = true;
    const int result = GetParam().operation(port);
    failNothrowArrays = false;
    EXPECT_EQ(result, PORT_NO_MEMORY);
    EXPECT_EQ(recorder->calls, Calls{});
}

INSTANTIATE_TEST_SUITE_P(Operations, AllocationFailure, testing::ValuesIn(BUFFERED_OPERATIONS),
                         [](const auto& info) { return std::string(info.param.name); });

const OperationCase HANDLE_OPERATIONS[] = {
    {"WriteText", [](CBridgePort& p) { return p.WriteText("[x]"); }},
    {"ReadBytes",
     [](CBridgePort& p) {
         std::uint8_t buffer[PORT_WORK_BUFFER_SIZE];
         return p.ReadBytes(buffer);
     }},
    {"Flush", [](CBridgePort& p) { return p.Flush(); }},
    {"WriteLatch", [](CBridgePort& p) { return p.WriteLatch(LATCH_SELECT_1); }},
    {"ReadLatch",
     [](CBridgePort& p) {
         std::uint8_t latch = 0;
         return p.ReadLatch(&latch);
     }},
};

class ClosedPort : public BridgePort, public testing::WithParamInterface<OperationCase> {};

// The process-wide port starts closed: every operation on the handle fails.
TEST_P(ClosedPort, FailsEveryHandleOperation) {
    Plug();
    ASSERT_EQ(bridgePort.GetHandle(), NO_BRIDGE_HANDLE);
    EXPECT_EQ(GetParam().operation(bridgePort), PORT_FAILED);
}

INSTANTIATE_TEST_SUITE_P(Operations, ClosedPort, testing::ValuesIn(HANDLE_OPERATIONS),
                         [](const auto& info) { return std::string(info.param.name); });

TEST_F(BridgePort, LatchReadsBackWhatWasWritten) {
    Plug();
    OpenFirst();
    std::uint8_t latch = 0;
    for (const LatchSetting setting : {LATCH_SELECT_1, LATCH_GPIO2_HIGH, LATCH_SELECT_2}) {
        ASSERT_EQ(port.WriteLatch(setting), PORT_OK);
    }
    ASSERT_EQ(port.ReadLatch(&latch), PORT_OK);
    EXPECT_EQ(latch, 0xF6);
    EXPECT_EQ(port.Flush(), PORT_OK);
}

}  // namespace
