// Splitting reports into packets and matching replies in table order.
#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "platform/text/WideText.h"
#include "quillon/protocol/Matching.h"
#include "quillon/protocol/Packets.h"
#include "quillon/protocol/WireTexts.h"

namespace {

struct SplitCase {
    std::u16string report;
    std::vector<std::u16string> packets;
};

class NextPacketTest : public testing::TestWithParam<SplitCase> {};

TEST_P(NextPacketTest, SplitsAtTheFirstBracketsInTurn) {
    std::u16string_view rest = GetParam().report;
    std::vector<std::u16string> packets;
    while (auto packet = NextPacket(rest)) {
        packets.emplace_back(*packet);
    }
    EXPECT_EQ(packets, GetParam().packets);
}

INSTANTIATE_TEST_SUITE_P(Cases, NextPacketTest,
                         testing::Values(SplitCase{u"noise[info<btldr>r3]\n[info<KM7-HS21>1.04]",
                                                   {u"[info<btldr>r3]", u"[info<KM7-HS21>1.04]"}},
                                         SplitCase{u"no packet at all", {}},
                                         SplitCase{u"[info<btldr>r3][info<KM7-HS21>1.0",
                                                   {u"[info<btldr>r3]"}},
                                         SplitCase{u"[a[b]c]", {u"[a[b]"}}, SplitCase{u"", {}}));

struct ValueCase {
    std::u16string packet;
    std::u16string prefix;
    bool found;
    std::u16string value;
};

class PacketValueTest : public testing::TestWithParam<ValueCase> {};

TEST_P(PacketValueTest, TakesWhatFollowsThePrefix) {
    const ValueCase& c = GetParam();
    const auto value = PacketValue(c.packet, c.prefix);
    ASSERT_EQ(value.has_value(), c.found);
    if (c.found) {
        EXPECT_EQ(std::u16string(*value), c.value);
    }
}

INSTANTIATE_TEST_SUITE_P(
    Cases, PacketValueTest,
    testing::Values(ValueCase{u"[info<btldr>r3]", u"[info<btldr>", true, u"r3"},
                    ValueCase{u"[info<KM7-HS21>1.04]", u"[info<KM7-HS21>", true, u"1.04"},
                    ValueCase{u"[info<db>]", u"[info<db>", true, u""},
                    ValueCase{u"[info<KM7-HS21>1.04]", u"[info<KM7-HS2>", false, u""},
                    ValueCase{u"[info<km7-hs21>1.04]", u"[info<KM7-HS21>", false, u""}));

// The order of the transfer's reply table decides, not the order in the text.
const ReplyCase UPDATE_REPLIES[] = {
    {RES_UPDATE_COMPLETE, 1}, {RES_UPDATE_OK, 0},         {RES_UPDATE_NEXT, 0},
    {RES_UPDATE_ERROR, -1},   {RES_UPDATE_BAD_PARSE, -1}, {RES_UPDATE_INNER, -10},
    {RES_UPDATE_OUTER, -11},
};

struct MatchCase {
    std::u16string text;
    int result;
};

class MatchReplyTest : public testing::TestWithParam<MatchCase> {};

TEST_P(MatchReplyTest, FirstLiteralInTableOrderWins) {
    EXPECT_EQ(MatchReply(GetParam().text, UPDATE_REPLIES, 2), GetParam().result)
        << ToUtf8(GetParam().text);
}

INSTANTIATE_TEST_SUITE_P(Cases, MatchReplyTest,
                         testing::Values(MatchCase{u"[res<update>ok]\n", 0},
                                         MatchCase{u"[res<update>ok]", 2},
                                         MatchCase{u"xx[res<update>next]yy", 0},
                                         MatchCase{u"[res<update>error]kmx-cksum", -1},
                                         MatchCase{u"[res<update>inner][res<update>complete]", 1},
                                         MatchCase{u"[res<update>outer][res<update>error]", -1},
                                         MatchCase{u"[res<update>inner]", -10},
                                         MatchCase{u"[res<update>outer]", -11},
                                         MatchCase{u"[res<update>bad parse]", -1},
                                         MatchCase{u"[RES<update>ok]\n", 2}, MatchCase{u"", 2}));

}  // namespace
