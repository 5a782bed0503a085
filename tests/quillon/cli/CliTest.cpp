// quillon-cli: its command line, its exit codes, and whole runs through the main window and the
// updater against the simulated Bramlet on the virtual clock.
#include <gtest/gtest.h>

#include <nlohmann/json.hpp>
#include <sstream>
#include <string>
#include <vector>

#include "platform/clock/Clock.h"
#include "platform/text/WideText.h"
#include "platform/ui/headless/HeadlessBackend.h"
#include "platform/usblink/sim/SimUsbBridge.h"
#include "quillon/app/QuillonDlg.h"
#include "quillon/cli/CliOptions.h"
#include "quillon/cli/CliOutcome.h"
#include "quillon/cli/CliSession.h"
#include "quillon/dialogs/CymorTexts.h"
#include "sim/target/GenericTarget.h"
#include "tests/support/TempDir.h"

namespace {

const std::string SAMPLES = QUILLON_SAMPLES_DIR;
const std::string KM7_FILE = SAMPLES + "/Vellmar/UpdateFiles/KM7-HS21/KM7-HS21-1.05.kmx";

struct ArgsCase {
    const char* name;
    std::vector<std::string> args;
    int result;
};

class CliOptionsTest : public testing::TestWithParam<ArgsCase> {};

TEST_P(CliOptionsTest, ParsesOrRefuses) {
    std::vector<const char*> argv = {"quillon-cli"};
    for (const std::string& arg : GetParam().args) {
        argv.push_back(arg.c_str());
    }
    CliOptions options;
    std::ostringstream out;
    std::ostringstream err;
    EXPECT_EQ(ParseCliOptions(static_cast<int>(argv.size()), argv.data(), options, out, err),
              GetParam().result)
        << err.str();
    EXPECT_EQ(err.str().empty(), GetParam().result != EXIT_BAD_USAGE);
}

INSTANTIATE_TEST_SUITE_P(
    Cases, CliOptionsTest,
    testing::Values(
        ArgsCase{"NoCommand", {}, 2}, ArgsCase{"Help", {"--help"}, 0},
        ArgsCase{"Info", {"info", "--model", "KM7-HS21"}, -1},
        ArgsCase{"InfoWithoutModel", {"info"}, 2},
        ArgsCase{"UnknownModel", {"info", "--model", "KM9"}, 2},
        ArgsCase{"ModelCaseMatters", {"info", "--model", "km7-hs21"}, 2},
        ArgsCase{"KqvtrNotGeneric", {"info", "--model", "KQ-VTR"}, 2},
        ArgsCase{"DeviceZero", {"--device", "0", "info", "--model", "yMOR"}, 2},
        ArgsCase{"UpdateWithoutFile", {"update", "--model", "KM7-HS21"}, 2},
        ArgsCase{"UpdateMissingFile", {"update", "--model", "yMOR", "/no/such.kmx"}, 2},
        ArgsCase{"Update", {"--device", "2", "update", "--model", "KM7-HS21", KM7_FILE}, -1}),
    [](const auto& info) { return std::string(info.param.name); });

struct OutcomeCase {
    const char* name;
    CliCommand command;
    std::vector<std::u16string> boxes;
    std::u16string log;
    bool opened;
    int code;
};

class ExitCodeTest : public testing::TestWithParam<OutcomeCase> {};

TEST_P(ExitCodeTest, FollowsWhatTheUserSaw) {
    const OutcomeCase& c = GetParam();
    CliFacts facts{c.command, c.boxes, c.log, c.opened, false};
    EXPECT_EQ(ExitCodeFor(facts), c.code);
}

const std::u16string SUCCESS_LOG =
    u"Firmware transfer complete\r\nEnd Update: x\n\r\n" + std::u16string(LOG_SUCCESS);

INSTANTIATE_TEST_SUITE_P(
    Cases, ExitCodeTest,
    testing::Values(
        OutcomeCase{"Updated", CliCommand::Update, {}, SUCCESS_LOG, true, 0},
        OutcomeCase{
            "TransferError", CliCommand::Update, {}, u"Firmware transfer error\r\n", true, 1},
        OutcomeCase{"Refused",
                    CliCommand::Update,
                    {std::u16string(MSG_NOT_COMPATIBLE)},
                    u"Update attempt failed.\r\n",
                    true,
                    1},
        OutcomeCase{"InfoRead", CliCommand::Info, {}, u"", true, 0},
        OutcomeCase{"NotOpened", CliCommand::Info, {}, u"", false, 1},
        OutcomeCase{
            "NoDevice", CliCommand::Info, {std::u16string(MSG_DEVICE_NOT_FOUND)}, u"", false, 3},
        OutcomeCase{
            "NeedsUpdate", CliCommand::Update, {std::u16string(MSG_NEEDS_UPDATE)}, u"", false, 3},
        OutcomeCase{"Mismatch", CliCommand::Update, {std::u16string(MSG_MISMATCH)}, u"", false, 4}),
    [](const auto& info) { return std::string(info.param.name); });

nlohmann::json Dongle(const std::string& serial, const std::string& model) {
    return {{"serial", serial}, {"target", {{"model", model}, {"firmware", "1.04"}}}};
}

// A run of quillon-cli in this process: the simulated Bramlet from a state file, the virtual
// clock, and the outputs captured.
class CliRunTest : public testing::Test {
protected:
    void SetUp() override { InstallClock(&clock); }
    void TearDown() override {
        InstallUsbBridge(nullptr);
        InstallClock(nullptr);
    }

    void Plug(const nlohmann::json& dongles) {
        CTempDir::Write(dir.File("state.json"), nlohmann::json{{"dongles", dongles}}.dump());
        library = std::make_unique<CSimUsbBridge>(dir.File("state.json"));
        InstallUsbBridge(library.get());
    }

    int Run(std::vector<std::string> args) {
        std::vector<const char*> argv = {"quillon-cli"};
        for (const std::string& arg : args) {
            argv.push_back(arg.c_str());
        }
        CliOptions options;
        const int parsed =
            ParseCliOptions(static_cast<int>(argv.size()), argv.data(), options, out, err);
        if (parsed >= 0) {
            return parsed;
        }
        CHeadlessBackend backend;
        return RunCli(options, backend, out, err, false);
    }

    CTempDir dir;
    CVirtualClock clock{1'000'000};
    std::unique_ptr<CSimUsbBridge> library;
    std::ostringstream out;
    std::ostringstream err;
};

TEST_F(CliRunTest, UpdatesTheChosenDongleAndPrintsTheLog) {
    Plug({Dongle("0020000001", "yMOR"), Dongle("0020001234", "KM7-HS21")});
    EXPECT_EQ(Run({"--device", "2", "update", "--model", "KM7-HS21", KM7_FILE}), 0) << err.str();
    const std::string text = out.str();
    EXPECT_NE(text.find("Serial number: 0020001234\n"), std::string::npos) << text;
    EXPECT_NE(text.find("Firmware: 1.04\n"), std::string::npos) << text;
    EXPECT_NE(text.find("Sync complete\nErase begin\n"), std::string::npos) << text;
    EXPECT_NE(text.find("100%\nFirmware transfer complete\n"), std::string::npos) << text;
    EXPECT_NE(text.find("Update Successful, OK to disconnect\nBootloader: r6\nFirmware: 1.05\n"),
              std::string::npos)
        << text;
    EXPECT_EQ(err.str(), "");
}

struct RunCase {
    const char* name;
    nlohmann::json dongles;
    std::vector<std::string> args;
    int code;
    std::string err;
};

class CliRunCaseTest : public CliRunTest, public testing::WithParamInterface<RunCase> {};

TEST_P(CliRunCaseTest, EndsWithItsExitCodeAndMessage) {
    Plug(GetParam().dongles);
    EXPECT_EQ(Run(GetParam().args), GetParam().code) << out.str();
    EXPECT_EQ(err.str(), GetParam().err);
}

const std::string BADSUM = SAMPLES + "/Vellmar/UpdateFiles/KM7-HS21/KM7-HS21-1.05-badsum.kmx";

INSTANTIATE_TEST_SUITE_P(
    Cases, CliRunCaseTest,
    testing::Values(
        RunCase{"Info", {Dongle("0020001234", "yMOR")}, {"info", "--model", "yMOR"}, 0, ""},
        RunCase{"NoDongle",
                nlohmann::json::array(),
                {"info", "--model", "yMOR"},
                3,
                "WARNING: Device not found.  Make sure the device is connected to the computer and "
                "try to connect again 1\n"},
        RunCase{"OldDongle",
                {Dongle("0011234", "yMOR")},
                {"info", "--model", "yMOR"},
                3,
                "Quillon: Bramlet needs to be updated\n"},
        RunCase{
            "Mismatch",
            {Dongle("0020001234", "yMOR")},
            {"update", "--model", "KM7-HS21", KM7_FILE},
            4,
            "ERROR: Device and request mismatch.  Choose the interface that is connected to the "
            "computer !!\n"},
        RunCase{"BadChecksum",
                {Dongle("0020001234", "KM7-HS21")},
                {"update", "--model", "KM7-HS21", BADSUM},
                1,
                ""},
        RunCase{"Refused",
                {Dongle("0020001234", "yMOR")},
                {"update", "--model", "yMOR", KM7_FILE},
                1,
                "ERROR: The selected file is not compatible with the connected target.\n"}),
    [](const auto& info) { return std::string(info.param.name); });

}  // namespace
