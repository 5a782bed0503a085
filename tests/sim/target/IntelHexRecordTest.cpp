// Record parsing and image reassembly of the simulated target's boot loader.
#include <gtest/gtest.h>

#include "sim/target/FirmwareImage.h"
#include "sim/target/IntelHexRecord.h"
#include "tests/sim/target/HexLines.h"

namespace {

struct ParseCase {
    const char* name;
    std::string line;
    HexParse result;
    std::uint8_t type;
    std::uint16_t address;
    std::size_t dataLength;
};

class HexRecordParse : public ::testing::TestWithParam<ParseCase> {};

TEST_P(HexRecordParse, ClassifiesLine) {
    const ParseCase& c = GetParam();
    HexRecord record;
    ASSERT_EQ(ParseHexRecord(c.line, record), c.result);
    if (c.result == HexParse::OK) {
        EXPECT_EQ(record.type, c.type);
        EXPECT_EQ(record.address, c.address);
        EXPECT_EQ(record.data.size(), c.dataLength);
    }
}

INSTANTIATE_TEST_SUITE_P(
    Lines, HexRecordParse,
    ::testing::Values(
        ParseCase{"Data", ":0300300002337A1E", HexParse::OK, 0x00, 0x0030, 3},
        ParseCase{"LowerCaseDigits", ":0300300002337a1e", HexParse::OK, 0x00, 0x0030, 3},
        ParseCase{"EndOfFile", ":00000001FF", HexParse::OK, 0x01, 0, 0},
        ParseCase{"ExtendedLinear", ":020000040800F2", HexParse::OK, 0x04, 0, 2},
        ParseCase{"StartLinear", ":04000005000000CD2A", HexParse::OK, 0x05, 0, 4},
        ParseCase{"ChecksumOffByOne", ":0300300002337A1F", HexParse::BAD_CHECKSUM, 0, 0, 0},
        ParseCase{"NoStartCode", "0300300002337A1E", HexParse::MALFORMED, 0, 0, 0},
        ParseCase{"LengthDisagrees", ":0400300002337A1D", HexParse::MALFORMED, 0, 0, 0},
        ParseCase{"OddDigitCount", ":0300300002337A1", HexParse::MALFORMED, 0, 0, 0},
        ParseCase{"NonHexDigit", ":03003000G2337A1E", HexParse::MALFORMED, 0, 0, 0},
        ParseCase{"TooShort", ":00", HexParse::MALFORMED, 0, 0, 0},
        ParseCase{"UnknownType", HexLine(0, 0x06, {}), HexParse::MALFORMED, 0, 0, 0},
        ParseCase{"AddressRecordWithOneByte", HexLine(0, 0x04, {0x08}), HexParse::MALFORMED, 0, 0,
                  0},
        ParseCase{"EndOfFileWithData", HexLine(0, 0x01, {0x00}), HexParse::MALFORMED, 0, 0, 0}),
    [](const auto& info) { return std::string(info.param.name); });

void Apply(CFirmwareImage& image, const std::string& line) {
    HexRecord record;
    ASSERT_EQ(ParseHexRecord(line, record), HexParse::OK) << line;
    ASSERT_TRUE(image.Apply(record)) << line;
}

TEST(FirmwareImage, PlacesRecordsAtFullAddressesAndFillsGaps) {
    CFirmwareImage image;
    Apply(image, HexLine(0, 0x04, {0x00, 0x01}));  // linear base 0x10000
    Apply(image, HexLine(0x4004, 0x00, {0xC1, 0xC2}));
    // Lower than the first byte: the image grows downwards.
    Apply(image, HexLine(0x4000, 0x00, {0xA1}));
    Apply(image, HexLine(0, 0x02, {0x08, 0x00}));  // segment 0x0800: base 0x8000
    Apply(image, HexLine(0x0002, 0x00, {0xB1}));

    EXPECT_EQ(image.Base(), 0x8002u);
    std::vector<std::uint8_t> expected(0x14006 - 0x8002, 0xFF);
    expected[0] = 0xB1;
    expected[0x14000 - 0x8002] = 0xA1;
    expected[0x14004 - 0x8002] = 0xC1;
    expected[0x14005 - 0x8002] = 0xC2;
    EXPECT_EQ(image.Bytes(), expected);
}

TEST(FirmwareImage, RefusesRecordsBeyondTheSpanLimit) {
    CFirmwareImage image;
    Apply(image, HexLine(0, 0x00, {0x01}));
    HexRecord far;
    ASSERT_EQ(ParseHexRecord(HexLine(0, 0x04, {0x01, 0x00}), far), HexParse::OK);
    ASSERT_TRUE(image.Apply(far));
    HexRecord data;
    ASSERT_EQ(ParseHexRecord(HexLine(0x0000, 0x00, {0x02}), data), HexParse::OK);
    EXPECT_FALSE(image.Apply(data));
    EXPECT_EQ(image.Bytes().size(), 1u);
}

struct VersionCase {
    std::string bytes;
    std::optional<std::string> version;
};

class ImageVersion : public ::testing::TestWithParam<VersionCase> {};

TEST_P(ImageVersion, ReadsTextAfterTag) {
    CFirmwareImage image;
    std::vector<std::uint8_t> payload(GetParam().bytes.begin(), GetParam().bytes.end());
    for (const std::string& line : HexFile(payload)) {
        Apply(image, line);
    }
    EXPECT_EQ(image.Version(), GetParam().version);
}

INSTANTIATE_TEST_SUITE_P(
    Tags, ImageVersion,
    ::testing::Values(VersionCase{std::string("\x01\x02$VER:1.05\0\x03", 13), "1.05"},
                      VersionCase{"xx$VER:2.10", "2.10"}, VersionCase{"$VE:1.05", std::nullopt},
                      VersionCase{"$VER:" + std::string(40, '9'), std::string(32, '9')}));

}  // namespace
