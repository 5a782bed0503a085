// Widening of bytes, narrowing to low bytes, and UTF-8 round trips.
#include <gtest/gtest.h>

#include "platform/text/WideText.h"

namespace {

TEST(WideText, WideningTakesBytesAsSigned) {
    const std::u16string wide = WidenBytes(std::string("\x00\x7F\x80\xFF[", 5));
    EXPECT_EQ(wide, (std::u16string{0x0000, 0x007F, 0xFF80, 0xFFFF, u'['}));
}

TEST(WideText, LowBytesDropTheHighByte) {
    EXPECT_EQ(LowBytes(std::u16string{u'[', 0xFF80, 0x0141}), std::string("[\x80\x41", 3));
}

TEST(WideText, Utf8RoundTripsAndReplacesBrokenInput) {
    const std::string text = "Ölsäure 1€ \xF0\x9F\x94\xA7";
    EXPECT_EQ(ToUtf8(FromUtf8(text)), text);
    EXPECT_EQ(FromUtf8("a\xC3"), (std::u16string{u'a', 0xFFFD}));
    EXPECT_EQ(FromUtf8("\xFF"
                       "b"),
              (std::u16string{0xFFFD, u'b'}));
    EXPECT_EQ(FromUtf8("\xED\xA0\x80"), (std::u16string{0xFFFD, 0xFFFD, 0xFFFD}));
}

}  // namespace
