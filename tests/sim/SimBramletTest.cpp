// The simulated dongles of a state file: plugging by editing the file, unplug by the target,
// target state written back, trace lines.
#include <gtest/gtest.h>

#include "platform/clock/Clock.h"
#include "sim/SimBramlet.h"
#include "tests/sim/RecordingTarget.h"
#include "tests/support/TempDir.h"

using Json = nlohmann::json;

namespace {

class SimBramlet : public testing::Test {
protected:
    void SetUp() override { InstallClock(&clock); }
    void TearDown() override { InstallClock(nullptr); }

    std::vector<std::string> Serials(CSimBramlet& bramlet) {
        bramlet.Update();
        std::vector<std::string> serials;
        for (std::size_t i = 0; i < bramlet.DeviceCount(); ++i) {
            serials.push_back(bramlet.Dongle(i).Config().serial);
        }
        return serials;
    }

    CVirtualClock clock{1000000};
    CTempDir temp;
    std::string path = temp.File("state.json");
    std::shared_ptr<TargetLog> log = std::make_shared<TargetLog>();
};

using SerialList = std::vector<std::string>;

TEST_F(SimBramlet, EditingTheFileUnplugsReplugsAndSwapsDongles) {
    CTempDir::Write(path, R"({"dongles":[{"serial":"A"},{"serial":"B"}]})");
    CSimBramlet bramlet(path, {}, RecordingTargets(log));
    EXPECT_EQ(Serials(bramlet), (SerialList{"A", "B"}));
    const std::shared_ptr<CSimDongle> b = bramlet.Device(1);

    CTempDir::Write(path, R"({"dongles":[{"serial":"B"}]})");
    EXPECT_EQ(Serials(bramlet), (SerialList{"B"}));
    EXPECT_EQ(bramlet.Device(0), b) << "an unchanged entry is the same dongle";

    CTempDir::Write(path, R"({"dongles":[{"serial":"B"},{"serial":"A","attached":false}]})");
    EXPECT_EQ(Serials(bramlet), (SerialList{"B"}));

    CTempDir::Write(path, R"({"dongles":[{"serial":"A"},{"serial":"B","power":10}]})");
    EXPECT_EQ(Serials(bramlet), (SerialList{"A", "B"}));
    EXPECT_TRUE(b->Gone()) << "a changed entry is a new dongle";
    EXPECT_NE(bramlet.Device(1), b);
}

TEST_F(SimBramlet, TargetUnplugRemovesTheDongleUntilItsEntryChanges) {
    CTempDir::Write(path, R"({"dongles":[{"serial":"A"}]})");
    CSimBramlet bramlet(path, {}, RecordingTargets(log));
    bramlet.Dongle(0).Link().Unplug(clock.NowMicros() + 3000);
    clock.Advance(2999);
    EXPECT_EQ(Serials(bramlet).size(), 1u);
    clock.Advance(1);
    EXPECT_EQ(Serials(bramlet).size(), 0u);
    clock.Advance(1000000);
    EXPECT_EQ(Serials(bramlet).size(), 0u);

    CTempDir::Write(path, R"({"dongles":[{"serial":"A","note":"replugged"}]})");
    EXPECT_EQ(Serials(bramlet), (SerialList{"A"}));
}

TEST_F(SimBramlet, ChangedTargetStateIsWrittenToTheFileWithoutReplugging) {
    CTempDir::Write(path, R"({"dongles":[{"serial":"A","target":{"model":"KM7"}}]})");
    CSimBramlet bramlet(path, {}, RecordingTargets(log));
    const std::shared_ptr<CSimDongle> dongle = bramlet.Device(0);
    const std::uint8_t wire[] = {static_cast<std::uint8_t>(~'x'), static_cast<std::uint8_t>(~'y')};
    dongle->Link().HostWrite(wire, 2, clock.NowMicros());
    clock.Advance(1000);
    bramlet.Update();

    CSimStateFile other(path);
    EXPECT_EQ(other.Dongle(0).target, (Json{{"model", "KM7"}, {"hostBytes", 2}}));
    EXPECT_EQ(other.Dongle(0).serial, "A");
    bramlet.Update();
    EXPECT_EQ(bramlet.Device(0), dongle);
    EXPECT_FALSE(dongle->Gone());
}

TEST(SimTraceText, EscapesControlAndNonAsciiBytes) {
    const std::pair<std::string, std::string> cases[] = {
        {"[cmd<sync>]\n", "[cmd<sync>]\\n"},
        {"a\r\nb", "a\\r\\nb"},
        {"back\\slash", "back\\\\slash"},
        {std::string("\x00\xFF\x7F\x1B ~", 6), "\\x00\\xFF\\x7F\\x1B ~"},
    };
    for (const auto& [text, escaped] : cases) {
        EXPECT_EQ(EscapeTraceText(text), escaped);
    }
}

TEST_F(SimBramlet, TraceLinesCountMillisecondsFromStart) {
    const std::string tracePath = temp.File("trace.txt");
    CTempDir::Write(tracePath, "earlier\n");
    CSimTrace trace(tracePath, clock.NowMicros());
    trace.Line(clock.NowMicros(), "open", "0");
    clock.Advance(25999);
    trace.Line(clock.NowMicros(), "flush");
    trace.Line(clock.NowMicros(), "tx", EscapeTraceText("[x]\n"));
    EXPECT_EQ(CTempDir::Read(tracePath), "earlier\n0 open 0\n25 flush\n25 tx [x]\\n\n");
}

}  // namespace
