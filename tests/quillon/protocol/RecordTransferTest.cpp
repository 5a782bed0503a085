// The update file mechanics: model-line search, announced size, blocks with their byte
// accounting, size text and progress, for CR LF and line-feed-only files.
#include <gtest/gtest.h>

#include <filesystem>
#include <fstream>
#include <string>
#include <vector>

#include "platform/text/WideText.h"
#include "quillon/protocol/RecordTransfer.h"
#include "tests/support/TempDir.h"

namespace {

// Writes a file of the given lines, each followed by lineEnd, and opens it.
class RecordFileTest : public testing::Test {
protected:
    void Write(const std::vector<std::string>& lines, const std::string& lineEnd,
               const std::string& tail = "") {
        std::ofstream out(path, std::ios::binary | std::ios::trunc);
        for (const std::string& line : lines) {
            out << line << lineEnd;
        }
        out << tail;
        out.close();
        ASSERT_TRUE(file.Open(path.string()));
    }

    // Runs blocks until the file ends, as answers to ready replies would.
    std::vector<int> BlockSizes(int perBlock) {
        std::vector<int> sizes;
        while (!file.AtEnd()) {
            sizes.push_back(
                SendRecordBlock(file, ':', perBlock, consumed,
                                [this](const std::u16string& p) { sent.push_back(p); }));
        }
        return sizes;
    }

    static std::vector<std::string> Records(int count) {
        std::vector<std::string> lines;
        for (int i = 0; i < count; ++i) {
            lines.push_back(":10" + std::to_string(1000 + i) + "00ABCDEF");
        }
        return lines;
    }

    CTempDir dir;
    std::filesystem::path path = dir.Path() / "records.kmx";
    CLineFile file;
    std::uint64_t consumed = 0;
    std::vector<std::u16string> sent;
};

TEST_F(RecordFileTest, TwentyFiveRecordsGoInBlocksOfTenTenAndFive) {
    std::vector<std::string> lines = {"KM7-HS21 firmware", "version 1.05"};
    const auto records = Records(25);
    lines.insert(lines.end(), records.begin(), records.end());
    Write(lines, "\r\n");

    EXPECT_EQ(BlockSizes(10), (std::vector<int>{10, 10, 5}));
    EXPECT_EQ(consumed, file.GetLength());
    ASSERT_EQ(sent.size(), 25u);
    EXPECT_EQ(ToUtf8(sent.front()), "[" + records.front() + "]");
    EXPECT_EQ(ToUtf8(sent.back()), "[" + records.back() + "]");
}

TEST_F(RecordFileTest, LineFeedOnlyFileSendsEveryRecord) {
    const auto records = Records(40);
    Write(records, "\n");

    BlockSizes(16);
    ASSERT_EQ(sent.size(), records.size());
    EXPECT_EQ(ToUtf8(sent.back()), "[" + records.back() + "]");
    // Counted as CR LF lines: one byte more per line than the file holds.
    EXPECT_EQ(consumed, file.GetLength() + records.size());
    EXPECT_EQ(ProgressPercent(consumed, file.GetLength()), 100);
}

struct EndingCase {
    const char* name;
    std::vector<std::string> lines;
    std::string tail;
    std::vector<std::string> packets;
};

class FileEndTest : public RecordFileTest, public testing::WithParamInterface<EndingCase> {};

TEST_P(FileEndTest, LastLineInHandIsSentAndSpacesRemoved) {
    Write(GetParam().lines, "\r\n", GetParam().tail);
    BlockSizes(10);
    // A ready reply after the end sends an empty packet.
    SendRecordBlock(file, ':', 10, consumed,
                    [this](const std::u16string& p) { sent.push_back(p); });
    std::vector<std::string> packets;
    for (const auto& p : sent) {
        packets.push_back(ToUtf8(p));
    }
    std::vector<std::string> expected = GetParam().packets;
    expected.push_back("[]");
    EXPECT_EQ(packets, expected);
}

INSTANTIATE_TEST_SUITE_P(
    Cases, FileEndTest,
    testing::Values(
        EndingCase{
            "SpacesRemoved", {"hdr", ":10 00 AB", "note", ":01 FF"}, "", {"[:1000AB]", "[:01FF]"}},
        EndingCase{"NoFinalLineEnd", {"hdr", ":0100"}, ":00000001FF", {"[:0100]", "[:00000001FF]"}},
        EndingCase{"TrailingEmptyLine", {":0100", ""}, "", {"[:0100]", "[]"}},
        EndingCase{"TrailingText", {":0100", "end of file"}, "", {"[:0100]", "[endoffile]"}}),
    [](const auto& info) { return std::string(info.param.name); });

struct ModelLineCase {
    const char* name;
    std::vector<std::string> lines;
    std::string lineEnd;
    bool found;
};

class ModelLineTest : public RecordFileTest, public testing::WithParamInterface<ModelLineCase> {};

TEST_P(ModelLineTest, FindsTheModelAnywhereInAnyLine) {
    Write(GetParam().lines, GetParam().lineEnd);
    EXPECT_EQ(FindLineContaining(file, u"KM7-HS21"), GetParam().found);
    if (!GetParam().found) {
        std::string first;
        ASSERT_TRUE(file.ReadLine(first));
        EXPECT_EQ(first, GetParam().lines.front());
    }
}

INSTANTIATE_TEST_SUITE_P(
    Cases, ModelLineTest,
    testing::Values(ModelLineCase{"Header", {"model KM7-HS21", ":00"}, "\r\n", true},
                    ModelLineCase{"InsideRecord", {"hdr", ":00KM7-HS21FF"}, "\r\n", true},
                    ModelLineCase{"OtherCase", {"km7-hs21", ":00"}, "\r\n", false},
                    ModelLineCase{"OtherModel", {"KM8-HS21", ":00"}, "\r\n", false},
                    ModelLineCase{"LastLineOfLineFeedFile",
                                  {":00", ":01", ":02", ":03", "KM7-HS21"},
                                  "\n",
                                  true}),
    [](const auto& info) { return std::string(info.param.name); });

struct SizeCase {
    const char* name;
    std::vector<std::string> lines;
    std::string tail;
    std::uint64_t size;
};

class RecordPartSizeTest : public RecordFileTest, public testing::WithParamInterface<SizeCase> {};

TEST_P(RecordPartSizeTest, LeavesTheCountedRecordPart) {
    Write(GetParam().lines, "\r\n", GetParam().tail);
    EXPECT_EQ(RecordPartSize(file, ':', file.GetLength()), GetParam().size);
    std::string first;
    ASSERT_TRUE(file.ReadLine(first));
    EXPECT_EQ(first, GetParam().lines.front());
}

INSTANTIATE_TEST_SUITE_P(
    Cases, RecordPartSizeTest,
    testing::Values(
        // 54 bytes less two counted header lines of 20.
        SizeCase{
            "TwoHeaderLines", {std::string(20, 'h'), std::string(20, 'v'), ":00", ":01"}, "", 10},
        SizeCase{"NoHeader", {":00", "x", ":01"}, "", 13},
        SizeCase{"NoRecordLine", {"abc", "defg"}, "", 0},
        // 7 bytes counted as 9: the size stops at 0 rather than wrapping around.
        SizeCase{"NoRecordNoFinalLineEnd", {"abc"}, "de", 0}),
    [](const auto& info) { return std::string(info.param.name); });

struct HexCase {
    std::uint64_t size;
    std::string text;
};

class HexSizeTextTest : public testing::TestWithParam<HexCase> {};

TEST_P(HexSizeTextTest, LowThirtyTwoBitsInCapitals) {
    EXPECT_EQ(ToUtf8(HexSizeText(GetParam().size)), GetParam().text);
}

INSTANTIATE_TEST_SUITE_P(Cases, HexSizeTextTest,
                         testing::Values(HexCase{0, "0"}, HexCase{968, "3C8"},
                                         HexCase{0xABCDEF, "ABCDEF"}, HexCase{0x10, "10"},
                                         HexCase{0x1'0000'00FFull, "FF"},
                                         HexCase{0xFFFFFFFF, "FFFFFFFF"}));

struct ProgressCase {
    std::uint64_t consumed;
    std::uint64_t length;
    int percent;
};

class ProgressTest : public testing::TestWithParam<ProgressCase> {};

TEST_P(ProgressTest, TruncatesAndClamps) {
    EXPECT_EQ(ProgressPercent(GetParam().consumed, GetParam().length), GetParam().percent);
}

INSTANTIATE_TEST_SUITE_P(Cases, ProgressTest,
                         testing::Values(ProgressCase{0, 1000, 0}, ProgressCase{999, 1000, 99},
                                         ProgressCase{1, 3, 33}, ProgressCase{1000, 1000, 100},
                                         ProgressCase{1040, 1000, 100}, ProgressCase{5, 0, 0}));

}  // namespace
