// Cymor's start-up (target check, version read-out, caption), its keys, the version report
// parsing and the exchange operations against the simulated target.
#include <string>

#include "quillon/dialogs/CymorTexts.h"
#include "tests/quillon/dialogs/CymorFixture.h"

namespace {

constexpr const char* SELECT_2 = "03 02";  // the latch write that makes the target report

int Count(const std::vector<std::string>& items, const std::string& item) {
    return static_cast<int>(std::count(items.begin(), items.end(), item));
}

TEST_F(CymorTest, StartUpShowsVersionsAndModelCaption) {
    Plug(SampleTarget("KM7-HS21"));
    std::u16string caption;
    backend.User().Do([&](CDialog& d) { caption = d.GetWindowText(); }).PressEscape();

    EXPECT_EQ(Run(u"KM7-HS21"), IDCANCEL);
    EXPECT_EQ(ToUtf8(caption), "KM7-HS21");
    EXPECT_EQ(recorder.Text(IDC_BOOTLOADER_BOX), "r6");
    EXPECT_EQ(recorder.Text(IDC_FIRMWARE_BOX), "1.04");
    EXPECT_EQ(recorder.Text(IDC_NOTE_TEXT), "");
    EXPECT_TRUE(backend.MessageBoxes().empty());
    EXPECT_EQ(ToUtf8(bootloaderVersion), "r6");
    EXPECT_EQ(recordsPerBlock, 16);
    // The target check and the read-out: two information queries.
    EXPECT_EQ(Count(Trace("latch"), SELECT_2), 2);
}

TEST_F(CymorTest, EnterReadsTheVersionsAgainAndEndsWithOk) {
    Plug(SampleTarget("yMOR"));
    backend.User().PressEnter();
    EXPECT_EQ(Run(u"yMOR"), IDOK);
    EXPECT_EQ(Count(Trace("latch"), SELECT_2), 3);
}

struct MismatchCase {
    const char* name;
    nlohmann::json switches;
    std::string bootloaderShown;
};

class CymorMismatchTest : public CymorTest, public testing::WithParamInterface<MismatchCase> {};

TEST_P(CymorMismatchTest, ShowsTheMessageOnceAndCloses) {
    Plug(SampleTarget("KM7-HS21", GetParam().switches));
    recordsPerBlock = 7;

    EXPECT_EQ(Run(u"KM7-HS21"), IDCANCEL);
    ASSERT_EQ(backend.MessageBoxes().size(), 1u);
    EXPECT_EQ(backend.MessageBoxes()[0].text, MSG_MISMATCH);
    EXPECT_EQ(backend.MessageBoxes()[0].caption, ERROR_CAPTION);
    // The read-out still runs before the posted close is handled.
    EXPECT_EQ(Count(Trace("latch"), SELECT_2), 2);
    EXPECT_EQ(recorder.Text(IDC_BOOTLOADER_BOX), GetParam().bootloaderShown);
    EXPECT_EQ(recorder.Text(IDC_FIRMWARE_BOX), "");
    EXPECT_EQ(recordsPerBlock, 7);
}

INSTANTIATE_TEST_SUITE_P(
    Cases, CymorMismatchTest,
    testing::Values(MismatchCase{"OtherModel", {{"wrong_model", "KM8-HS21"}}, "r6"},
                    MismatchCase{"Silent", {{"silent", true}}, ""}),
    [](const auto& info) { return std::string(info.param.name); });

struct ReportCase {
    const char* name;
    std::u16string report;
    std::string bootloaderBox;
    std::string firmwareBox;
    std::string bootloaderVersion;  // after parsing; the start-up read-out left "r6"
};

class ParseVersionReportTest : public CymorTest, public testing::WithParamInterface<ReportCase> {};

TEST_P(ParseVersionReportTest, FillsTheBoxesFromKnownPackets) {
    Plug(SampleTarget("KM7-HS21"));
    backend.User()
        .Do([&](CDialog& d) { static_cast<Cymor&>(d).ParseVersionReport(GetParam().report); })
        .PressEscape();
    Run(u"KM7-HS21");
    EXPECT_EQ(recorder.Text(IDC_BOOTLOADER_BOX), GetParam().bootloaderBox);
    EXPECT_EQ(recorder.Text(IDC_FIRMWARE_BOX), GetParam().firmwareBox);
    EXPECT_EQ(ToUtf8(bootloaderVersion), GetParam().bootloaderVersion);
}

INSTANTIATE_TEST_SUITE_P(
    Cases, ParseVersionReportTest,
    testing::Values(
        ReportCase{"Both", u"xx[info<btldr>r3]\n[info<KM7-HS21>1.04]", "r3", "1.04", "r3"},
        ReportCase{"Neither", u"nothing here", "", "", "r6"},
        ReportCase{"LastWins", u"[info<btldr>r1][info<KM7-HS21>1.0][info<btldr>r2]", "r2", "1.0",
                   "r2"},
        ReportCase{"OtherModelAndReplies", u"[res<sync>ok][info<KM8-HS21>2.0][info<KM7-HS21>1.1]",
                   "", "1.1", "r6"},
        ReportCase{"CutOff", u"[info<KM7-HS21>1.2][info<btldr>r4", "", "1.2", "r6"}),
    [](const auto& info) { return std::string(info.param.name); });

struct SyncCase {
    const char* name;
    nlohmann::json switches;
    std::u16string model;
    int result;
    int syncCommands;
};

class SyncTest : public CymorTest, public testing::WithParamInterface<SyncCase> {};

TEST_P(SyncTest, JudgesReportThenSingleReply) {
    Plug(SampleTarget("KM7-HS21", GetParam().switches));
    Cymor cymor;
    cymor.modelName = GetParam().model;
    EXPECT_EQ(cymor.Sync(), GetParam().result);
    EXPECT_EQ(CountWrites("[cmd<sync>]\\n"), GetParam().syncCommands);
}

INSTANTIATE_TEST_SUITE_P(
    Cases, SyncTest,
    testing::Values(SyncCase{"Synced", nlohmann::json::object(), u"KM7-HS21", 1, 1},
                    SyncCase{"SplitReport", {{"split_replies", true}}, u"KM7-HS21", 1, 1},
                    // The rest of the report would need a third read: the model is not seen.
                    SyncCase{"SplitReportTooLate",
                             {{"split_replies", true}, {"split_gap_ms", 200}},
                             u"KM7-HS21",
                             -2,
                             0},
                    SyncCase{"LeadingZeros", {{"leading_zeros", 3}}, u"KM7-HS21", 1, 1},
                    SyncCase{"NoReply", {{"no_sync_reply", true}}, u"KM7-HS21", -1, 1},
                    SyncCase{"LateReply", {{"late_sync_reply", true}}, u"KM7-HS21", -1, 1},
                    SyncCase{"SilentStillGetsSync", {{"silent", true}}, u"KM7-HS21", -1, 1},
                    SyncCase{"OtherModel", nlohmann::json::object(), u"KM8-HS21", -2, 0}),
    [](const auto& info) { return std::string(info.param.name); });

// An erase reply split 10 ms apart is joined by the completion re-read.
TEST_F(CymorTest, EraseReplySplitOverTwoReadsIsRecognised) {
    Plug(SampleTarget("KM7-HS21", {{"split_replies", true}, {"erase_ms", 100}}));
    Cymor cymor;
    cymor.modelName = u"KM7-HS21";
    ASSERT_EQ(cymor.Sync(), 1);
    bool confirmed = false;
    for (int poll = 0; poll < 20 && !confirmed; ++poll) {
        confirmed = cymor.EraseStep() == 1;
        SleepMs(50);
    }
    EXPECT_TRUE(confirmed);
    EXPECT_EQ(CountWrites("[cmd<erase>]\\n"), 1);
}

TEST_F(CymorTest, UpdateEndIsSentOnEveryCall) {
    Plug(SampleTarget("KM7-HS21", {{"end_never_confirmed", true}}));
    Cymor cymor;
    cymor.modelName = u"KM7-HS21";
    ASSERT_EQ(cymor.Sync(), 1);
    EXPECT_EQ(cymor.UpdateEnd(), -1);
    EXPECT_EQ(cymor.UpdateEnd(), -1);
    EXPECT_EQ(CountWrites("[cmd<update>end]"), 2);
}

}  // namespace
