// The chip's texts: string descriptors taken apart as received, and 16-bit text narrowed to bytes.
#include <gtest/gtest.h>

#include <optional>
#include <string>
#include <vector>

#include "platform/bridgeconfig/libusb/Cp210xStrings.h"

namespace {

struct DecodeCase {
    const char* name;
    std::vector<std::uint8_t> bytes;
    std::optional<std::u16string> text;
};

class DecodeStringDescriptorTest : public testing::TestWithParam<DecodeCase> {};

TEST_P(DecodeStringDescriptorTest, TakesOnlyWellFormedDescriptors) {
    EXPECT_EQ(DecodeStringDescriptor(GetParam().bytes), GetParam().text);
}

INSTANTIATE_TEST_SUITE_P(
    Cases, DecodeStringDescriptorTest,
    testing::Values(DecodeCase{"Text", {6, 3, 'O', 0, 0xAC, 0x20}, u"O\u20AC"},
                    DecodeCase{"LengthByteGovernsTrailingBytes", {4, 3, 'A', 0, 'B', 0}, u"A"},
                    DecodeCase{"Empty", {2, 3}, u""},
                    DecodeCase{"NotAStringDescriptor", {4, 1, 'A', 0}, std::nullopt},
                    DecodeCase{"LongerThanReceived", {6, 3, 'A', 0}, std::nullopt},
                    DecodeCase{"HalfACharacter", {3, 3, 'A'}, std::nullopt},
                    DecodeCase{"LengthBelowHeader", {0, 3}, std::nullopt},
                    DecodeCase{"Truncated", {2}, std::nullopt}),
    [](const auto& info) { return std::string(info.param.name); });

TEST(NarrowTextTest, KeepsLatin1AndMarksWhatBytesCannotHold) {
    EXPECT_EQ(NarrowText(u"A\u00E9\u20AC"), "A\xE9?");
}

}  // namespace
