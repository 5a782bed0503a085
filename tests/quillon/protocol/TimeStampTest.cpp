// The asctime layout of the session time stamps and the process-wide block size rule.
#include <gtest/gtest.h>

#include <string>

#include "platform/text/WideText.h"
#include "quillon/protocol/GenericTarget.h"
#include "quillon/protocol/TimeStamp.h"

namespace {

struct StampCase {
    std::tm time;
    std::string text;
};

class AscTimeTest : public testing::TestWithParam<StampCase> {};

TEST_P(AscTimeTest, FollowsTheAscTimeLayout) {
    const std::u16string text = AscTimeText(GetParam().time);
    EXPECT_EQ(ToUtf8(text), GetParam().text);
    EXPECT_EQ(text.size(), TIME_STAMP_LENGTH);
}

std::tm Tm(int wday, int mday, int mon, int year, int h, int m, int s) {
    std::tm t{};
    t.tm_wday = wday;
    t.tm_mday = mday;
    t.tm_mon = mon;
    t.tm_year = year - 1900;
    t.tm_hour = h;
    t.tm_min = m;
    t.tm_sec = s;
    return t;
}

INSTANTIATE_TEST_SUITE_P(
    Cases, AscTimeTest,
    testing::Values(StampCase{Tm(3, 2, 0, 1980, 2, 3, 55), "Wed Jan 02 02:03:55 1980\n"},
                    StampCase{Tm(6, 31, 11, 2022, 23, 59, 9), "Sat Dec 31 23:59:09 2022\n"},
                    StampCase{Tm(0, 15, 5, 2025, 0, 0, 0), "Sun Jun 15 00:00:00 2025\n"}));

TEST(TimeStampTest, WritesTheCurrentTimeTerminated) {
    char16_t buffer[64];
    std::fill(std::begin(buffer), std::end(buffer), u'x');
    WriteTimeStamp(buffer);
    const std::u16string text(buffer);
    ASSERT_EQ(text.size(), TIME_STAMP_LENGTH);
    EXPECT_EQ(text.back(), u'\n');
    EXPECT_EQ(text[3], u' ');
    EXPECT_EQ(text[13], u':');
}

struct BlockCase {
    std::u16string model;
    std::u16string bootloader;
    int records;
};

class RecordsPerBlockTest : public testing::TestWithParam<BlockCase> {};

TEST_P(RecordsPerBlockTest, ChoosesByModelAndBootloader) {
    EXPECT_EQ(RecordsPerBlockFor(GetParam().model, GetParam().bootloader), GetParam().records)
        << ToUtf8(GetParam().model) << " " << ToUtf8(GetParam().bootloader);
}

INSTANTIATE_TEST_SUITE_P(
    Cases, RecordsPerBlockTest,
    testing::Values(BlockCase{u"KM7-HS21", u"r1", 10}, BlockCase{u"KM7-HS21", u"r5", 10},
                    BlockCase{u"KM7-HS21", u"r6", 16}, BlockCase{u"KM7-HS21", u"", 16},
                    BlockCase{u"KM7-HS21", u"R3", 16}, BlockCase{u"KM7-HS21", u"r3 ", 16},
                    BlockCase{u"KM8-HS21", u"r1", 16}, BlockCase{u"ZTRNWQ5", u"", 16},
                    BlockCase{u"KM7-HS43", u"r9", 10}, BlockCase{u"km8-hs21", u"", 10}));

}  // namespace
