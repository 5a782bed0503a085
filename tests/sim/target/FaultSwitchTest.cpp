// Each fault switch of a dongle's "target" object and what the host would see of it, over one
// whole session: report, sync, erase, update start, 7 data records and end of file in blocks
// of 5, update end.
#include <gtest/gtest.h>

#include "sim/SimTarget.h"
#include "tests/sim/target/HexLines.h"
#include "tests/sim/target/TargetDriver.h"

namespace {

const std::string REPORT = "[info<btldr>r6][info<yMOR>1.05]";
const std::string SYNC_OK = "[res<sync>ok]";
const std::string ERASE_OK = "[res<erase>ok]";
const std::string OK = "[res<update>ok]\n";
const std::string COMPLETE = "[res<update>complete]";
const std::string END = "[res<update>end]";
const std::string UNTIL_START = REPORT + SYNC_OK + ERASE_OK + OK;

struct FaultCase {
    const char* name;
    nlohmann::json switches;
    std::string seen;
    bool unplugged;
};

class FaultSwitch : public ::testing::TestWithParam<FaultCase> {};

TEST_P(FaultSwitch, ShowsInSession) {
    nlohmann::json object = {
        {"model", "yMOR"}, {"bootloader", "r6"}, {"firmware", "1.05"}, {"block_size", 5}};
    if (GetParam().switches.is_object()) {
        object.update(GetParam().switches);
    }
    std::unique_ptr<ISimTarget> target = CreateSimTarget(object);
    CTargetDriver host(*target);
    // The session stops where the dongle disappears, as the link would.
    auto run = [&](auto step) {
        if (!host.output.Unplugged()) {
            step();
        }
    };
    run([&] {
        host.PowerOn();
        host.SyncPreamble();
    });
    run([&] { host.Write("[cmd<sync>]\n"); });
    run([&] { host.Write("[cmd<erase>]\n"); });
    run([&] { host.Write("[cmd<update>start]"); });
    for (const std::string& line : HexFile(std::vector<std::uint8_t>(28, 0x11))) {
        run([&] { host.SendRecords({line}); });
    }
    run([&] { host.Write("[cmd<update>end]"); });

    EXPECT_EQ(host.output.Text(), GetParam().seen);
    EXPECT_EQ(host.output.Unplugged(), GetParam().unplugged);
}

INSTANTIATE_TEST_SUITE_P(
    Switches, FaultSwitch,
    ::testing::Values(
        FaultCase{"None", {}, UNTIL_START + OK + COMPLETE + END, false},
        FaultCase{"NoModel", {{"model", ""}}, "", false},
        FaultCase{"Silent", {{"silent", true}}, "", false},
        FaultCase{
            "WrongModel",
            {{"wrong_model", "KM8-HS43"}},
            "[info<btldr>r6][info<KM8-HS43>1.05]" + SYNC_OK + ERASE_OK + OK + OK + COMPLETE + END,
            false},
        FaultCase{"NoSyncReply",
                  {{"no_sync_reply", true}},
                  REPORT + ERASE_OK + OK + OK + COMPLETE + END,
                  false},
        FaultCase{"EraseNeverConfirmed",
                  {{"erase_never_confirmed", true}},
                  REPORT + SYNC_OK + OK + OK + COMPLETE + END,
                  false},
        FaultCase{"BadParseAtRecord3",
                  {{"record_fault", "bad parse"}, {"record_fault_at", 3}},
                  UNTIL_START + "[res<update>bad parse]",
                  false},
        FaultCase{"InnerAtRecord6",
                  {{"record_fault", "inner"}, {"record_fault_at", 6}},
                  UNTIL_START + OK + "[res<update>inner]",
                  false},
        FaultCase{"OuterAtRecord1",
                  {{"record_fault", "outer"}, {"record_fault_at", 1}},
                  UNTIL_START + "[res<update>outer]",
                  false},
        FaultCase{"ErrorAtEndOfFile",
                  {{"record_fault", "error"}, {"record_fault_at", 8}},
                  UNTIL_START + OK + "[res<update>error]",
                  false},
        FaultCase{"SilenceAfterRecord5",
                  {{"record_fault", "silence"}, {"record_fault_at", 5}},
                  UNTIL_START,
                  false},
        FaultCase{"UnplugAtRecord2",
                  {{"record_fault", "unplug"}, {"record_fault_at", 2}},
                  UNTIL_START,
                  true},
        FaultCase{"FaultBeyondLastRecord",
                  {{"record_fault", "inner"}, {"record_fault_at", 9}},
                  UNTIL_START + OK + COMPLETE + END,
                  false},
        FaultCase{"EndNeverConfirmed",
                  {{"end_never_confirmed", true}},
                  UNTIL_START + OK + COMPLETE,
                  false},
        FaultCase{"UnplugAtSync", {{"unplug_at", "sync"}}, REPORT, true},
        FaultCase{"UnplugAtErase", {{"unplug_at", "erase"}}, REPORT + SYNC_OK, true},
        FaultCase{"UnplugAtStart", {{"unplug_at", "start"}}, REPORT + SYNC_OK + ERASE_OK, true},
        FaultCase{"UnplugAtEnd", {{"unplug_at", "end"}}, UNTIL_START + OK + COMPLETE, true},
        FaultCase{"UnknownSwitchValuesIgnored",
                  {{"record_fault", "sparks"}, {"unplug_at", 3}, {"erase_ms", "slow"}},
                  UNTIL_START + OK + COMPLETE + END,
                  false}),
    [](const auto& info) { return std::string(info.param.name); });

}  // namespace
