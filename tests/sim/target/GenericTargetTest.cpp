// The generic target driven directly through its seam: latch patterns, replies and their
// times, block acknowledgement, record checks, the new version after an update.
#include <gtest/gtest.h>

#include "sim/target/GenericTarget.h"
#include "sim/target/TargetBlockSize.h"
#include "tests/sim/target/HexLines.h"
#include "tests/sim/target/TargetDriver.h"

namespace {

const std::string REPORT = "[info<btldr>r6][info<KM7-HS21>1.05]";

TargetSettings Settings(nlohmann::json extra = nlohmann::json::object()) {
    nlohmann::json object = {{"model", "KM7-HS21"}, {"bootloader", "r6"}, {"firmware", "1.05"}};
    if (extra.is_object()) {
        object.update(extra);
    }
    return ReadTargetSettings(object);
}

struct LatchWrite {
    std::uint8_t mask;
    std::uint8_t value;
};

struct LatchCase {
    const char* name;
    std::vector<LatchWrite> writes;
    bool reports;
    bool listens;
};

class GenericTargetLatch : public ::testing::TestWithParam<LatchCase> {};

TEST_P(GenericTargetLatch, ReportsAndListensByPattern) {
    CGenericTarget target(Settings());
    CTargetDriver host(target);
    for (const LatchWrite& w : GetParam().writes) {
        host.Latch(w.mask, w.value);
    }
    EXPECT_EQ(host.output.Text(), GetParam().reports ? REPORT : "");
    EXPECT_EQ(target.IsListening(), GetParam().listens);
}

constexpr LatchWrite POWER{0x08, 0x00}, POWER_OFF{0x08, 0x08}, GPIO2_HIGH{0x04, 0x04},
    GPIO2_LOW{0x04, 0x00}, SELECT_1{0x03, 0x01}, SELECT_2{0x03, 0x02}, SELECT_3{0x03, 0x03};

INSTANTIATE_TEST_SUITE_P(
    Patterns, GenericTargetLatch,
    ::testing::Values(
        LatchCase{"InformationQuery", {POWER, GPIO2_HIGH, SELECT_2, GPIO2_LOW}, true, false},
        LatchCase{"SyncPreamble", {POWER, GPIO2_HIGH, SELECT_1, GPIO2_LOW}, true, true},
        LatchCase{"Unpowered", {GPIO2_HIGH, SELECT_1, GPIO2_LOW}, false, false},
        LatchCase{"FallWithSelect3", {POWER, GPIO2_HIGH, SELECT_3, GPIO2_LOW}, false, false},
        LatchCase{"SelectOneAfterFall", {POWER, GPIO2_LOW, SELECT_1}, false, true},
        LatchCase{"IdleAfterSync",
                  {POWER, GPIO2_HIGH, SELECT_1, GPIO2_LOW, GPIO2_HIGH, SELECT_3},
                  true,
                  false},
        LatchCase{
            "PowerOffAfterSync", {POWER, GPIO2_HIGH, SELECT_1, GPIO2_LOW, POWER_OFF}, true, false}),
    [](const auto& info) { return std::string(info.param.name); });

TEST(GenericTarget, IgnoresCommandsWhenNotListening) {
    CGenericTarget target(Settings());
    CTargetDriver host(target);
    host.PowerOn();
    host.InformationQuery();
    host.output.Clear();
    host.Write("[cmd<sync>]\n[cmd<erase>]\n[cmd<update>start]");
    EXPECT_TRUE(host.output.messages.empty());
}

struct ReplyCase {
    const char* name;
    nlohmann::json settings;
    std::string command;
    std::string reply;
    std::int64_t delayMicros;
};

class GenericTargetReply : public ::testing::TestWithParam<ReplyCase> {};

TEST_P(GenericTargetReply, AnswersCommandAfterDelay) {
    const ReplyCase& c = GetParam();
    CGenericTarget target(Settings(c.settings));
    CTargetDriver host(target);
    host.PowerOn();
    host.SyncPreamble();
    host.output.Clear();
    host.Write(c.command);
    ASSERT_EQ(host.output.messages.size(), 1u);
    EXPECT_EQ(host.output.messages[0].text, c.reply);
    EXPECT_EQ(host.output.messages[0].at, host.now + c.delayMicros);
}

INSTANTIATE_TEST_SUITE_P(
    Commands, GenericTargetReply,
    ::testing::Values(
        ReplyCase{"Sync", {}, "[cmd<sync>]\n", "[res<sync>ok]", 2'000},
        ReplyCase{
            "LateSync", {{"late_sync_reply", true}}, "[cmd<sync>]\n", "[res<sync>ok]", 150'000},
        ReplyCase{"SlowReplies", {{"reply_ms", 7}}, "[cmd<sync>]\n", "[res<sync>ok]", 7'000},
        ReplyCase{"Erase", {}, "[cmd<erase>]\n", "[res<erase>ok]", 500'000},
        ReplyCase{"EraseTime", {{"erase_ms", 1200}}, "[cmd<erase>]\n", "[res<erase>ok]", 1'200'000},
        ReplyCase{"UpdateStart", {}, "[cmd<update>start]", "[res<update>ok]\n", 2'000},
        ReplyCase{"UpdateEnd", {}, "[cmd<update>end]", "[res<update>end]", 2'000}),
    [](const auto& info) { return std::string(info.param.name); });

TEST(GenericTarget, KeepsAnnouncedFileInformation) {
    CGenericTarget target(Settings());
    CTargetDriver host(target);
    host.BeginTransfer();
    EXPECT_EQ(target.AnnouncedFileName(), "/tmp/f.kmx");
    EXPECT_EQ(target.AnnouncedFileSize(), "1a2");
}

// The replies that follow "[res<update>ok]\n" to the update start, for a file of 25 data
// records and the end-of-file record.
std::vector<std::string> TransferReplies(const nlohmann::json& settings, int bad = -1) {
    CGenericTarget target(Settings(settings));
    CTargetDriver host(target);
    host.BeginTransfer();
    host.output.Clear();
    std::vector<std::string> lines = HexFile(std::vector<std::uint8_t>(100, 0x5A));
    if (bad >= 0) {
        lines[static_cast<std::size_t>(bad)].back() ^= 0x01;
    }
    std::vector<std::string> replies;
    for (const std::string& line : lines) {
        host.SendRecords({line});
        for (const SentMessage& m : host.output.messages) {
            replies.push_back(std::to_string(target.PacketsReceived()) + " " + m.text);
        }
        host.output.Clear();
    }
    return replies;
}

TEST(GenericTarget, AcknowledgesEveryBlockAndCompletesAtEndOfFile) {
    // KM7-HS21 with boot loader r6 takes 16 packets per block.
    EXPECT_EQ(TransferReplies({}),
              (std::vector<std::string>{"16 [res<update>ok]\n", "26 [res<update>complete]"}));
    EXPECT_EQ(TransferReplies({{"bootloader", "r5"}, {"block_reply", "next"}}),
              (std::vector<std::string>{"10 [res<update>next]", "20 [res<update>next]",
                                        "26 [res<update>complete]"}));
    EXPECT_EQ(TransferReplies({{"block_size", 25}}),
              (std::vector<std::string>{"25 [res<update>ok]\n", "26 [res<update>complete]"}));
}

TEST(GenericTarget, RefusesBadRecordAndStopsListening) {
    EXPECT_EQ(TransferReplies({}, 2), (std::vector<std::string>{"3 [res<update>error]kmx-cksum"}));
    CGenericTarget target(Settings());
    CTargetDriver host(target);
    host.BeginTransfer();
    host.output.Clear();
    host.SendRecords({":0300300002337A", HEX_EOF});
    host.Write("[cmd<update>end]");
    EXPECT_EQ(host.output.Text(), "[res<update>bad parse]");
}

struct BlockSizeCase {
    const char* model;
    const char* bootloader;
    int size;
};

class TargetBlockSize : public ::testing::TestWithParam<BlockSizeCase> {};

TEST_P(TargetBlockSize, FollowsModelAndBootloader) {
    EXPECT_EQ(TargetRecordsPerBlock(GetParam().model, GetParam().bootloader), GetParam().size);
}

INSTANTIATE_TEST_SUITE_P(
    Rule, TargetBlockSize,
    ::testing::Values(BlockSizeCase{"KM7-HS21", "r1", 10}, BlockSizeCase{"KM7-HS21", "r5", 10},
                      BlockSizeCase{"KM7-HS21", "r6", 16}, BlockSizeCase{"KM7-HS21", "r5 ", 16},
                      BlockSizeCase{"KM7-HS21", "", 16}, BlockSizeCase{"KM8-HS21", "r1", 16},
                      BlockSizeCase{"ZTRNWQ5", "", 16}, BlockSizeCase{"KM8-HS43", "r6", 10},
                      BlockSizeCase{"km7-hs21", "r6", 10}));

// Runs a whole update of a file whose image carries the version tag.
void Update(CTargetDriver& host, const std::string& image) {
    host.BeginTransfer();
    host.SendRecords(HexFile(std::vector<std::uint8_t>(image.begin(), image.end())));
    host.Write("[cmd<update>end]");
}

TEST(GenericTarget, ReportsNewVersionOnlyAfterUpdateEnd) {
    CGenericTarget target(Settings());
    CTargetDriver host(target);
    std::string image = std::string("\x10\x20$VER:2.01", 11) + '\0' + "code";
    host.BeginTransfer();
    host.SendRecords(HexFile(std::vector<std::uint8_t>(image.begin(), image.end())));
    host.output.Clear();
    host.InformationQuery();
    EXPECT_EQ(host.output.Text(), REPORT) << "complete but not yet ended";

    Update(host, image);
    host.output.Clear();
    host.InformationQuery();
    EXPECT_EQ(host.output.Text(), "[info<btldr>r6][info<KM7-HS21>2.01]");
    EXPECT_EQ(target.Image(), std::vector<std::uint8_t>(image.begin(), image.end()));

    nlohmann::json saved = {{"model", "KM7-HS21"}, {"erase_ms", 10}};
    target.SaveState(saved);
    EXPECT_EQ(
        saved,
        (nlohmann::json{
            {"model", "KM7-HS21"}, {"erase_ms", 10}, {"bootloader", "r6"}, {"firmware", "2.01"}}));
}

TEST(GenericTarget, KeepsVersionWhenImageHasNoTag) {
    CGenericTarget target(Settings());
    CTargetDriver host(target);
    Update(host, "no tag in this image");
    EXPECT_EQ(target.FirmwareVersion(), "1.05");
}

TEST(GenericTarget, SplitRepliesComeInTwoPiecesTheFirstWithoutBracketEnd) {
    CGenericTarget target(Settings({{"split_replies", true}, {"split_gap_ms", 40}}));
    CTargetDriver host(target);
    host.PowerOn();
    host.SyncPreamble();
    host.Write("[cmd<sync>]\n");
    ASSERT_EQ(host.output.messages.size(), 4u);
    for (std::size_t first : {0u, 2u}) {
        const SentMessage& a = host.output.messages[first];
        const SentMessage& b = host.output.messages[first + 1];
        EXPECT_EQ(a.text.find(']'), std::string::npos) << a.text;
        EXPECT_EQ(b.at - a.at, 40'000);
    }
    EXPECT_EQ(host.output.Text(), REPORT + "[res<sync>ok]");
}

TEST(GenericTarget, LeadingZerosGoRawBeforeEachReport) {
    CGenericTarget target(Settings({{"leading_zeros", 3}}));
    CTargetDriver host(target);
    host.PowerOn();
    host.InformationQuery();
    host.SyncPreamble();
    host.Write("[cmd<sync>]\n");
    std::vector<std::string> seen;
    for (const SentMessage& m : host.output.messages) {
        seen.push_back((m.kind == SentMessage::RAW ? "raw:" : "") + m.text);
    }
    std::string zeros = "raw:" + std::string(3, '\0');
    EXPECT_EQ(seen, (std::vector<std::string>{zeros, REPORT, zeros, REPORT, "[res<sync>ok]"}));
}

}  // namespace
