// Whole firmware update sessions of Cymor against the simulated target: success for every
// sample model with the image compared byte for byte, every failure line, refusals, the chooser,
// and closing the dialog mid-session.
#include <algorithm>
#include <cstdio>
#include <iterator>
#include <regex>
#include <string>

#include "platform/shell/Shell.h"
#include "quillon/dialogs/CymorTexts.h"
#include "tests/quillon/dialogs/CymorFixture.h"

namespace {

const std::string STAMP = R"([A-Z][a-z]{2} [A-Z][a-z]{2} \d{2} \d{2}:\d{2}:\d{2} \d{4}\n)";
const std::string START_LINES = "Start Update: " + STAMP + "\r\nDo not disconnect\r\n";
const std::string TRANSFER_LINES =
    "Sync complete\r\nErase begin\r\nErase complete\r\nStarting Firmware transfer\r\n";
const std::string IDLE_SELECT = "03 03";

std::vector<std::uint8_t> Bytes(const std::string& path) {
    std::ifstream in(path, std::ios::binary);
    return {std::istreambuf_iterator<char>(in), std::istreambuf_iterator<char>()};
}

std::string Escaped(const std::string& text) {
    return std::regex_replace(text, std::regex(R"([\[\]().*+?])"), R"(\$&)");
}

bool LogMatches(const std::string& log, const std::string& pattern) {
    return std::regex_match(log, std::regex(pattern));
}

struct SampleCase {
    std::string model;
    std::string version;
    std::string bootloader;
};

class CymorSampleTest : public CymorTest, public testing::WithParamInterface<SampleCase> {};

TEST_P(CymorSampleTest, UpdatesTheTargetToTheFileByteForByte) {
    const SampleCase& c = GetParam();
    Plug(SampleTarget(c.model, {{"bootloader", c.bootloader}}));
    const std::string stem = SampleFile(c.model, c.model + "-" + c.version);
    Update(stem + ".kmx").PressEscape();

    EXPECT_EQ(Run(FromUtf8(c.model)), IDCANCEL);
    EXPECT_PRED2(LogMatches, Log(),
                 START_LINES + TRANSFER_LINES + "Firmware transfer complete\r\nEnd Update: " +
                     STAMP + "\r\nUpdate Successful, OK to disconnect\r\n");
    EXPECT_EQ(Target().Image(), Bytes(stem + ".bin"));
    EXPECT_EQ(Target().FirmwareVersion(), c.version);
    // The versions are read again after the update.
    EXPECT_EQ(recorder.Text(IDC_FIRMWARE_BOX), c.version);
    EXPECT_TRUE(std::is_sorted(recorder.progress.begin(), recorder.progress.end()));
    EXPECT_EQ(recorder.progress.back(), 100);
    EXPECT_EQ(Trace("latch").back(), IDLE_SELECT);
    EXPECT_TRUE(backend.MessageBoxes().empty());
}

INSTANTIATE_TEST_SUITE_P(Models, CymorSampleTest,
                         testing::Values(SampleCase{"KM7-HS21", "1.05", "r6"},
                                         SampleCase{"KM7-HS21", "1.05", "r3"},
                                         SampleCase{"KM8-HS43", "2.10", "r6"},
                                         SampleCase{"ZTRNWQ5", "3.02", "r6"},
                                         SampleCase{"yMOR", "1.21", "r6"}));

TEST_F(CymorTest, AnnouncesFileNameAndRecordPartSize) {
    Plug(SampleTarget("yMOR"));
    const std::string path = SampleFile("yMOR", "yMOR-1.21.kmx");
    Update(path).PressEscape();
    Run(u"yMOR");

    // The header of a CR LF file is exactly the bytes before the first record line.
    const std::vector<std::uint8_t> bytes = Bytes(path);
    const std::string text(bytes.begin(), bytes.end());
    char expected[16];
    std::snprintf(expected, sizeof expected, "%zX", text.size() - (text.find("\r\n:") + 2));
    EXPECT_EQ(Target().AnnouncedFileName(), path);
    EXPECT_EQ(Target().AnnouncedFileSize(), expected);
}

TEST_F(CymorTest, LineFeedOnlyFileSendsEveryRecord) {
    Plug(SampleTarget("KM7-HS21"));
    const std::string stem = SampleFile("KM7-HS21", "KM7-HS21-1.05");
    std::vector<std::uint8_t> bytes = Bytes(stem + ".kmx");
    std::erase(bytes, '\r');
    const std::string path = dir.File("lf-only.kmx");
    CTempDir::Write(path, std::string(bytes.begin(), bytes.end()));
    Update(path).PressEscape();

    Run(u"KM7-HS21");
    EXPECT_NE(Log().find("Update Successful, OK to disconnect\r\n"), std::string::npos) << Log();
    EXPECT_EQ(Target().Image(), Bytes(stem + ".bin"));
    EXPECT_EQ(recorder.progress.back(), 100);
}

TEST_F(CymorTest, SplitRepliesStillUpdate) {
    Plug(SampleTarget("KM8-HS43", {{"split_replies", true}, {"split_gap_ms", 10}}));
    Update(SampleFile("KM8-HS43", "KM8-HS43-2.10.kmx")).PressEscape();
    Run(u"KM8-HS43");
    EXPECT_NE(Log().find("Update Successful, OK to disconnect\r\n"), std::string::npos) << Log();
    EXPECT_EQ(Target().FirmwareVersion(), "2.10");
}

struct FailureCase {
    const char* name;
    nlohmann::json switches;
    const char* file;
    std::string tail;     // the log after its first two lines
    int noResponseCount;  // -1: not judged
};

class CymorFailureTest : public CymorTest, public testing::WithParamInterface<FailureCase> {};

TEST_P(CymorFailureTest, EndsWithItsLogLineAndIdleLines) {
    Plug(SampleTarget("KM7-HS21", GetParam().switches));
    int noResponseCount = -1;
    Update(SampleFile("KM7-HS21", GetParam().file))
        .Do([&](CDialog& d) { noResponseCount = static_cast<Cymor&>(d).noResponseCount; })
        .PressEscape();

    Run(u"KM7-HS21");
    EXPECT_PRED2(LogMatches, Log(), START_LINES + Escaped(GetParam().tail));
    if (GetParam().noResponseCount >= 0) {
        EXPECT_EQ(noResponseCount, GetParam().noResponseCount);
    }
    EXPECT_EQ(CountWrites("[cmd<update>end]"), 0);
    EXPECT_EQ(Trace("latch").back(), IDLE_SELECT);
}

const std::string GOOD = "KM7-HS21-1.05.kmx";

INSTANTIATE_TEST_SUITE_P(
    Cases, CymorFailureTest,
    testing::Values(
        FailureCase{"NoSyncReply", {{"no_sync_reply", true}}, GOOD.c_str(), "Sync error\r\n", -1},
        FailureCase{
            "LateSyncReply", {{"late_sync_reply", true}}, GOOD.c_str(), "Sync error\r\n", -1},
        FailureCase{"Inner",
                    {{"record_fault", "inner"}, {"record_fault_at", 15}},
                    GOOD.c_str(),
                    TRANSFER_LINES + "Inner\r\n",
                    -1},
        FailureCase{"Outer",
                    {{"record_fault", "outer"}, {"record_fault_at", 3}},
                    GOOD.c_str(),
                    TRANSFER_LINES + "Outer\r\n",
                    -1},
        FailureCase{"BadParse",
                    {{"record_fault", "bad parse"}},
                    GOOD.c_str(),
                    TRANSFER_LINES + "Firmware transfer error\r\n",
                    -1},
        FailureCase{"ErrorReply",
                    {{"record_fault", "error"}, {"record_fault_at", 30}},
                    GOOD.c_str(),
                    TRANSFER_LINES + "Firmware transfer error\r\n",
                    -1},
        FailureCase{"BadChecksum", nlohmann::json::object(), "KM7-HS21-1.05-badsum.kmx",
                    TRANSFER_LINES + "Firmware transfer error\r\n", -1},
        // 500 silent polls are tolerated; the 501st ends the session.
        FailureCase{"Silence",
                    {{"record_fault", "silence"}, {"record_fault_at", 20}},
                    GOOD.c_str(),
                    TRANSFER_LINES + "Response time out error\r\n",
                    501}),
    [](const auto& info) { return std::string(info.param.name); });

TEST_F(CymorTest, ReportOfAnotherModelAtSyncIsAMismatch) {
    Plug(SampleTarget("KM7-HS21"));
    const std::string path = dir.File("km8.kmx");
    CTempDir::Write(path, "KM8-HS21 1.00\r\n:00000001FF\r\n");
    backend.User().Do([](CDialog& d) { static_cast<Cymor&>(d).modelName = u"KM8-HS21"; });
    Update(path).PressEscape();

    Run(u"KM7-HS21");
    EXPECT_PRED2(LogMatches, Log(), START_LINES + "File and interface mismatch \r\n");
    EXPECT_EQ(CountWrites("[cmd<sync>]\\n"), 0);
}

struct RefusalCase {
    const char* name;
    const char* fileName;
    const char* contents;  // nullptr: the file does not exist
    std::u16string_view message;
};

class CymorRefusalTest : public CymorTest, public testing::WithParamInterface<RefusalCase> {};

TEST_P(CymorRefusalTest, ShowsTheMessageAndLogsTheFailedAttempt) {
    Plug(SampleTarget("KM7-HS21"));
    const std::string path = dir.File(GetParam().fileName);
    if (GetParam().contents != nullptr) {
        CTempDir::Write(path, GetParam().contents);
    }
    Update(path).PressEscape();

    Run(u"KM7-HS21");
    ASSERT_EQ(backend.MessageBoxes().size(), 1u);
    EXPECT_EQ(backend.MessageBoxes()[0].text, GetParam().message);
    EXPECT_EQ(backend.MessageBoxes()[0].caption, ERROR_CAPTION);
    EXPECT_EQ(Log(), "Update attempt failed.\r\n");
    EXPECT_EQ(CountWrites("[cmd<sync>]\\n"), 0);
    EXPECT_EQ(Trace("latch").back(), IDLE_SELECT);
}

INSTANTIATE_TEST_SUITE_P(
    Cases, CymorRefusalTest,
    testing::Values(RefusalCase{"CapitalExtension", "fw.KMX", "KM7-HS21\r\n:00000001FF\r\n",
                                MSG_INVALID_SELECTION},
                    RefusalCase{"Missing", "absent.kmx", nullptr, MSG_OPEN_ERROR},
                    RefusalCase{"OtherModel", "fw.kmx", "KM8-HS21\r\n:00000001FF\r\n",
                                MSG_NOT_COMPATIBLE},
                    RefusalCase{"ModelInLowerCase", "fw.kmx", "km7-hs21\r\n:00000001FF\r\n",
                                MSG_NOT_COMPATIBLE}),
    [](const auto& info) { return std::string(info.param.name); });

TEST_F(CymorTest, UnpluggedDongleRefusesTheFile) {
    Plug(SampleTarget("KM7-HS21"));
    backend.User().Do([this](CDialog&) {
        nlohmann::json state = nlohmann::json::parse(CTempDir::Read(StatePath()));
        state["dongles"][0]["attached"] = false;
        CTempDir::Write(StatePath(), state.dump());
    });
    Update(SampleFile("KM7-HS21", GOOD)).PressEscape();
    Run(u"KM7-HS21");
    ASSERT_EQ(backend.MessageBoxes().size(), 1u);
    EXPECT_EQ(backend.MessageBoxes()[0].text, MSG_LINK_ERROR);
    EXPECT_EQ(Log(), "Update attempt failed.\r\n");
}

TEST_F(CymorTest, CancelledChooserLeavesTheLogEmptyAndTheDialogIdle) {
    Plug(SampleTarget("KM7-HS21"));
    int busy = -1;
    backend.User()
        .CancelChooser()
        .Click(IDC_UPDATE_FIRMWARE)
        .Wait(100)
        .Do([&](CDialog& d) { busy = static_cast<Cymor&>(d).busy; })
        .PressEscape();
    Run(u"KM7-HS21");
    ASSERT_EQ(backend.Choosers().size(), 1u);
    EXPECT_EQ(backend.Choosers()[0].filter, FIRMWARE_FILTER);
    EXPECT_EQ(backend.Choosers()[0].initialFolder,
              ProgramFilesFolder() + u"/Vellmar/UpdateFiles/KM7-HS21");
    EXPECT_EQ(backend.Choosers()[0].options, OFN_PATHMUSTEXIST);
    EXPECT_EQ(busy, 0);
    EXPECT_EQ(Log(), "");
    EXPECT_EQ(CountWrites("[cmd<sync>]\\n"), 0);
    EXPECT_EQ(Trace("latch").back(), IDLE_SELECT);
}

TEST_F(CymorTest, SecondClickDuringASessionChangesNothing) {
    Plug(SampleTarget("yMOR"));
    const std::string path = SampleFile("yMOR", "yMOR-1.21.kmx");
    backend.User()
        .AnswerChooser(FromUtf8(path))
        .AnswerChooser(FromUtf8(path))
        .Click(IDC_UPDATE_FIRMWARE)
        .Wait(300)
        .Click(IDC_UPDATE_FIRMWARE)
        .WaitUntil([this] { return SessionOver(); })
        .PressEscape();
    Run(u"yMOR");
    EXPECT_EQ(backend.Choosers().size(), 1u);
    EXPECT_EQ(CountWrites("[cmd<sync>]\\n"), 1);
    EXPECT_NE(Log().find("Update Successful, OK to disconnect\r\n"), std::string::npos) << Log();
}

TEST_F(CymorTest, ClosingDuringEndlessEraseStopsThePolling) {
    Plug(SampleTarget("KM7-HS21", {{"erase_never_confirmed", true}}));
    backend.User()
        .AnswerChooser(FromUtf8(SampleFile("KM7-HS21", GOOD)))
        .Click(IDC_UPDATE_FIRMWARE)
        .Wait(60'000)
        .CloseWindow();
    EXPECT_EQ(Run(u"KM7-HS21"), IDCANCEL);
    EXPECT_PRED2(LogMatches, Log(), START_LINES + "Sync complete\r\nErase begin\r\n");
    EXPECT_EQ(CountWrites("[cmd<erase>]\\n"), 1);
    EXPECT_EQ(CountWrites("[cmd<update>end]"), 0);
    // Closing does not end the session on the target: the lines keep the sync pattern.
    EXPECT_EQ(Trace("latch").back(), "04 00");
}

}  // namespace
