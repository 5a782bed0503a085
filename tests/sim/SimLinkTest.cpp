// The simulated wire: byte timing at 57600 baud in both directions, inversion, latch, flush.
#include <gtest/gtest.h>

#include "sim/SimLink.h"
#include "tests/sim/RecordingTarget.h"

namespace {

constexpr std::int64_t BYTE_MICROS_ROUNDED_UP = 174;  // 10 / 57600 s = 173.6 us

class SimLink : public testing::Test {
protected:
    std::shared_ptr<TargetLog> log = std::make_shared<TargetLog>();
    CSimLink link{std::make_unique<CRecordingTarget>(log)};

    static std::vector<std::uint8_t> Wire(const std::string& text) {
        std::vector<std::uint8_t> wire;
        for (const char c : text) {
            wire.push_back(static_cast<std::uint8_t>(~c));
        }
        return wire;
    }
};

TEST(SimWireMicros, RoundsTheByteTimeUp) {
    const std::pair<std::int64_t, std::int64_t> cases[] = {{0, 0},   {1, 174},   {2, 348},
                                                           {3, 521}, {12, 2084}, {5760, 1000000}};
    for (const auto& [bytes, micros] : cases) {
        EXPECT_EQ(SimWireMicros(bytes), micros) << bytes << " bytes";
    }
}

TEST_F(SimLink, HostBytesReachTheTargetComplementedBackAtTheirArrivalTimes) {
    const auto first = Wire("AB");
    const auto second = Wire("C");
    link.HostWrite(first.data(), first.size(), 1000);
    link.HostWrite(second.data(), second.size(), 1100);  // queues behind the first write

    link.AdvanceTo(1000 + BYTE_MICROS_ROUNDED_UP - 1);
    EXPECT_EQ(log->bytes, "");
    link.AdvanceTo(1000 + SimWireMicros(2));
    EXPECT_EQ(log->bytes, "AB");
    link.AdvanceTo(10000);
    EXPECT_EQ(log->bytes, "ABC");
    const std::vector<std::int64_t> expected{1174, 1348, 1348 + 174};
    EXPECT_EQ(log->byteTimes, expected);
}

TEST_F(SimLink, MessageBecomesReadableInvertedWhenItsLastByteHasArrived) {
    link.Send("[res<sync>ok]", 500);
    link.SendRaw(std::string("\x00\x00", 2), 0);  // queued after the message
    const std::int64_t firstDone = 500 + SimWireMicros(13);

    link.AdvanceTo(firstDone - 1);
    EXPECT_EQ(link.RxWaiting(), 0u);
    link.AdvanceTo(firstDone);
    ASSERT_EQ(link.RxWaiting(), 13u);
    link.AdvanceTo(firstDone + SimWireMicros(2));
    ASSERT_EQ(link.RxWaiting(), 15u);

    std::uint8_t buffer[20] = {};
    EXPECT_EQ(link.TakeRx(buffer, 1), 1u);
    EXPECT_EQ(buffer[0], static_cast<std::uint8_t>(~'['));
    EXPECT_EQ(link.TakeRx(buffer, 20), 14u);
    EXPECT_EQ(buffer[12], 0x00);
    EXPECT_EQ(link.RxWaiting(), 0u);
}

TEST_F(SimLink, LatchChangesOnlyMaskedLinesAndTellsTheTarget) {
    EXPECT_EQ(link.Latch(), SIM_INITIAL_LATCH);
    link.WriteLatch(0x08, 0x00, 10);
    link.WriteLatch(0x03, 0x01, 20);
    link.WriteLatch(0x04, 0xFF, 30);
    EXPECT_EQ(link.Latch(), 0xF5);
    const std::vector<std::pair<std::uint8_t, std::int64_t>> expected{
        {0xF7, 10}, {0xF5, 20}, {0xF5, 30}};
    EXPECT_EQ(log->latches, expected);
}

TEST_F(SimLink, FlushDropsUnsentHostBytesAndReadableDataButNotMessagesInFlight) {
    const auto wire = Wire("XYZ");
    link.HostWrite(wire.data(), wire.size(), 0);
    link.Send("early", 0);
    link.AdvanceTo(200);  // "X" delivered, "YZ" still to go
    link.FlushTx(200);
    link.AdvanceTo(900);  // "early" readable
    link.Send("late", 900);
    link.FlushRx();
    link.AdvanceTo(1000000);
    EXPECT_EQ(log->bytes, "X");
    EXPECT_EQ(link.RxWaiting(), 4u);  // only "late"
}

TEST_F(SimLink, UnplugStopsTheLinkAtItsTime) {
    const auto wire = Wire("Q");
    link.Unplug(5000);
    link.AdvanceTo(4999);
    EXPECT_FALSE(link.Unplugged());
    link.HostWrite(wire.data(), wire.size(), 4999);
    link.AdvanceTo(5000);
    EXPECT_TRUE(link.Unplugged());
    link.AdvanceTo(10000);
    EXPECT_EQ(log->bytes, "");
    EXPECT_EQ(link.NextEventTime(), -1);
}

}  // namespace
