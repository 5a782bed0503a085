// The reprogramming sequence recorded through a fake library: order and arguments of the calls,
// the wait before the reset, and the report for each outcome.
#include <gtest/gtest.h>

#include <map>
#include <ostream>
#include <sstream>
#include <string>
#include <vector>

#include "bridgeupdate/ReprogramBridge.h"
#include "platform/clock/Clock.h"
#include "tests/bridgeupdate/RecordingBridgeConfig.h"

namespace {

const std::string SUCCESS_TEXT =
    "\tUpdate to version 2 successfull :>\n\tPlease reconnect the Bramlet to PC\n";
const std::string FAILURE_TEXT = "\tUpdate to version 2 unsuccessfull :<\n";
const std::string NOT_FOUND_TEXT = "Device not found.\n";

DeviceParameters Parameters() {
    DeviceParameters parameters;
    parameters.values = {u"0x10C4", u"EA61", u"Bramlet\u00E9", u"0020001",
                         u"300",    u"1.10", u"ignored"};
    parameters.present.fill(true);
    return parameters;
}

class ReprogramBridgeTest : public testing::Test {
protected:
    ReprogramBridgeTest() { InstallClock(&clock); }
    ~ReprogramBridgeTest() override { InstallClock(nullptr); }

    bool Run() { return ReprogramBridge(Parameters(), library, out); }

    CVirtualClock clock{5'000'000};
    CRecordingBridgeConfig library;
    std::ostringstream out;
};

TEST_F(ReprogramBridgeTest, CallsInOrderWithConvertedValues) {
    library.numDevices = 3;
    EXPECT_TRUE(Run());
    const std::vector<std::string> expected = {
        "GetNumDevices",
        "Open 2",
        "GetDeviceVid h",
        "GetDevicePid h",
        "GetDeviceSerialNumber h 1",
        "GetMaxPower h",
        "GetDeviceVersion h",
        "GetProductString 2 1",
        "SetMaxPower h 44",
        "SetDeviceVersion h 010A",
        "SetProductString h \"Bramlet\xE9\" 8 1",
        "SetPortConfig h 54 CE FF CB 54 CE 00",
        "SetVid h 10C4",
        "SetPid h EA61",
        "SetSerialNumber h \"0020001\" 7 1",
        "Reset h",
        "Close h",
    };
    EXPECT_EQ(library.CallTexts(), expected);
    EXPECT_EQ(out.str(), SUCCESS_TEXT);
}

TEST_F(ReprogramBridgeTest, ChipGetsTimeBeforeReset) {
    Run();
    ASSERT_EQ(library.calls.size(), 17u);
    EXPECT_EQ(library.calls[15].atMillis - library.calls[14].atMillis, 100);
    EXPECT_EQ(library.calls[14].atMillis, library.calls[0].atMillis);
}

TEST_F(ReprogramBridgeTest, FailedOpenStillRunsEveryCallWithTheInvalidHandle) {
    library.statusOf["Open"] = CONFIG_DEVICE_NOT_FOUND;
    Run();
    const std::vector<std::string> calls = library.CallTexts();
    ASSERT_EQ(calls.size(), 17u);
    EXPECT_EQ(calls[9], "SetDeviceVersion invalid 010A");
    EXPECT_EQ(calls[16], "Close invalid");
    EXPECT_EQ(out.str(), FAILURE_TEXT);
}

struct OutcomeCase {
    const char* name;
    std::uint32_t numDevices;
    std::map<std::string, int> statusOf;
    std::string report;
    bool deviceFound;
};

// Test names show the case, not its bytes.
void PrintTo(const OutcomeCase& c, std::ostream* os) {
    *os << c.name;
}

const OutcomeCase OUTCOME_CASES[] = {
    {"AllSucceed", 1, {}, SUCCESS_TEXT, true},
    // A single failure with a small status code is still a failure.
    {"CountedSetFailsWithCodeOne", 1, {{"SetVid", 1}}, FAILURE_TEXT, true},
    {"ReadBackFails", 1, {{"GetDeviceVersion", 3}}, FAILURE_TEXT, true},
    {"CodesAddingUpToThree", 1, {{"GetDevicePid", 1}, {"Close", 2}}, FAILURE_TEXT, true},
    {"ResetFails", 1, {{"Reset", CONFIG_DEVICE_IO_FAILED}}, FAILURE_TEXT, true},
    {"OnlyPowerSettingFails",
     1,
     {{"SetMaxPower", CONFIG_FUNCTION_NOT_SUPPORTED}},
     SUCCESS_TEXT,
     true},
    {"NoDevice", 0, {}, NOT_FOUND_TEXT, false},
    {"CountFails", 2, {{"GetNumDevices", CONFIG_DEVICE_NOT_FOUND}}, NOT_FOUND_TEXT, false},
};

class ReprogramOutcomeTest : public ReprogramBridgeTest,
                             public testing::WithParamInterface<OutcomeCase> {};

TEST_P(ReprogramOutcomeTest, ReportsOutcome) {
    const OutcomeCase& c = GetParam();
    library.numDevices = c.numDevices;
    library.statusOf = c.statusOf;
    EXPECT_EQ(Run(), c.deviceFound);
    EXPECT_EQ(out.str(), c.report);
    EXPECT_EQ(library.calls.size(), c.deviceFound ? 17u : 1u);
}

INSTANTIATE_TEST_SUITE_P(Statuses, ReprogramOutcomeTest, testing::ValuesIn(OUTCOME_CASES),
                         [](const auto& info) { return std::string(info.param.name); });

}  // namespace
