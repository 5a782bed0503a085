// The simulated USB bridge library: the factory's choice, handles across unplugging, reads on
// the virtual clock, and the trace of what the host did.
#include <gtest/gtest.h>

#include <cstdlib>

#include "platform/clock/Clock.h"
#include "platform/usblink/UsbBridgeFactory.h"
#include "platform/usblink/sim/SimUsbBridge.h"
#include "tests/sim/RecordingTarget.h"
#include "tests/support/TempDir.h"

namespace {

class SimUsbBridge : public testing::Test {
protected:
    void SetUp() override { InstallClock(&clock); }
    void TearDown() override { InstallClock(nullptr); }

    std::uint8_t Inverted(char c) { return static_cast<std::uint8_t>(~c); }

    CVirtualClock clock{7000000};
    CTempDir temp;
    std::string path = temp.File("state.json");
    std::shared_ptr<TargetLog> log = std::make_shared<TargetLog>();
};

TEST_F(SimUsbBridge, FactoryChoosesTheSimulatorByEnvironment) {
    CTempDir::Write(path, R"({"dongles":[{},{}]})");
    setenv("BRAMLET_SIMULATOR", path.c_str(), 1);
    const std::unique_ptr<IUsbBridgeLibrary> simulated = CreateUsbBridgeLibrary();
    unsetenv("BRAMLET_SIMULATOR");
    const std::unique_ptr<IUsbBridgeLibrary> real = CreateUsbBridgeLibrary();
    std::uint32_t found = 99;
    ASSERT_EQ(simulated->GetNumDevices(&found), BRIDGE_SUCCESS);
    EXPECT_EQ(found, 2u);
    // Without the variable the real devices are asked, whatever is plugged into this machine.
    EXPECT_EQ(dynamic_cast<CSimUsbBridge*>(real.get()), nullptr);
}

TEST_F(SimUsbBridge, HandleOfAReplacedDongleFailsAndCloseReleasesIt) {
    CTempDir::Write(path, R"({"dongles":[{"serial":"A"}]})");
    CSimUsbBridge library(path, "", RecordingTargets(log));
    BridgeHandle handle = NO_BRIDGE_HANDLE;
    ASSERT_EQ(library.Open(0, &handle), BRIDGE_SUCCESS);
    BridgeHandle second = NO_BRIDGE_HANDLE;
    EXPECT_NE(library.Open(0, &second), BRIDGE_SUCCESS) << "one handle per device";

    CTempDir::Write(path, R"({"dongles":[{"serial":"B"}]})");
    std::uint8_t latch = 0;
    EXPECT_NE(library.ReadLatch(handle, &latch), BRIDGE_SUCCESS);
    EXPECT_NE(library.Close(handle), BRIDGE_SUCCESS);
    EXPECT_EQ(library.Close(handle), BRIDGE_INVALID_HANDLE);
    ASSERT_EQ(library.Open(0, &handle), BRIDGE_SUCCESS);
    ASSERT_EQ(library.ReadLatch(handle, &latch), BRIDGE_SUCCESS);
    EXPECT_EQ(latch, SIM_INITIAL_LATCH) << "a new dongle has a fresh latch";
}

TEST_F(SimUsbBridge, ReadOfAnEmptyQueueWaitsForTheNextMessageOrTheTimeout) {
    CTempDir::Write(path, R"({"dongles":[{}]})");
    CSimUsbBridge library(path, "", RecordingTargets(log));
    BridgeHandle handle = NO_BRIDGE_HANDLE;
    ASSERT_EQ(library.Open(0, &handle), BRIDGE_SUCCESS);
    ASSERT_EQ(library.SetTimeouts(500, 500), BRIDGE_SUCCESS);
    const std::int64_t start = clock.NowMicros();
    library.Bramlet().Dongle(0).Link().Send("ok", start + 1000);

    std::uint32_t waiting = 9;
    std::uint32_t status = 9;
    ASSERT_EQ(library.CheckRxQueue(handle, &waiting, &status), BRIDGE_SUCCESS);
    EXPECT_EQ(waiting, 0u);
    EXPECT_EQ(status, BRIDGE_RX_EMPTY);

    std::uint8_t buffer[8] = {};
    std::uint32_t got = 0;
    ASSERT_EQ(library.Read(handle, buffer, 1, &got), BRIDGE_SUCCESS);
    EXPECT_EQ(got, 1u);
    EXPECT_EQ(buffer[0], Inverted('o'));
    EXPECT_EQ(clock.NowMicros(), start + 1000 + SimWireMicros(2));
    ASSERT_EQ(library.CheckRxQueue(handle, &waiting, &status), BRIDGE_SUCCESS);
    EXPECT_EQ(waiting, 1u);
    EXPECT_EQ(status, BRIDGE_RX_READY);
    ASSERT_EQ(library.Read(handle, buffer, 8, &got), BRIDGE_SUCCESS);
    EXPECT_EQ(got, 1u);

    const std::int64_t before = clock.NowMicros();
    EXPECT_EQ(library.Read(handle, buffer, 8, &got), BRIDGE_READ_TIMED_OUT);
    EXPECT_EQ(clock.NowMicros(), before + 500000);
}

TEST_F(SimUsbBridge, TraceRecordsWhatTheHostDid) {
    CTempDir::Write(path, R"({"dongles":[{}]})");
    const std::string tracePath = temp.File("trace.txt");
    CSimUsbBridge library(path, tracePath, RecordingTargets(log));
    BridgeHandle handle = NO_BRIDGE_HANDLE;
    ASSERT_EQ(library.Open(0, &handle), BRIDGE_SUCCESS);
    clock.Advance(3000);
    ASSERT_EQ(library.WriteLatch(handle, 0x08, 0x00), BRIDGE_SUCCESS);
    const std::uint8_t wire[] = {Inverted('['), Inverted('\n'), Inverted('\\'), 0x00};
    std::uint32_t count = 0;
    ASSERT_EQ(library.Write(handle, wire, 4, &count), BRIDGE_SUCCESS);
    library.Bramlet().Dongle(0).Link().SendRaw(std::string("\x00\xA2", 2), clock.NowMicros());
    clock.Advance(10000);
    std::uint8_t buffer[4] = {};
    ASSERT_EQ(library.Read(handle, buffer, 4, &count), BRIDGE_SUCCESS);
    ASSERT_EQ(library.FlushBuffers(handle, 1, 1), BRIDGE_SUCCESS);
    ASSERT_EQ(library.Close(handle), BRIDGE_SUCCESS);
    EXPECT_EQ(CTempDir::Read(tracePath),
              "0 open 0\n"
              "3 latch 08 00\n"
              "3 tx [\\n\\\\\\xFF\n"
              "13 rx \\xFF]\n"
              "13 flush\n"
              "13 close\n");
    EXPECT_EQ(log->bytes, std::string("[\n\\\xFF", 4));
}

}  // namespace
