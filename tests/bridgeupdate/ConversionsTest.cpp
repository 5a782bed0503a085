// The value conversions against the C library's own strtol and atoi, with long and int taken as
// 32 bits; and the numbers derived from them for the chip.
#include <gtest/gtest.h>

#include <algorithm>
#include <climits>
#include <cstdint>
#include <cstdlib>
#include <ostream>
#include <string>

#include "bridgeupdate/Conversions.h"

namespace {

// The host's long is 64 bits; clamping its result gives what a 32-bit long returns.
std::int32_t Reference(const std::string& text, int base) {
    const long value = std::strtol(text.c_str(), nullptr, base);
    return static_cast<std::int32_t>(std::clamp<long>(value, INT32_MIN, INT32_MAX));
}

const std::string INPUTS[] = {
    "",
    "10C4",
    "0x10C4",
    "0X10c4",
    " \t\n\v\f\r10C4",
    "+10C4",
    "-1",
    "-0x10",
    "0x",
    "0xg",
    "x10",
    "12zz",
    "0C4?",
    "a?b",
    " - 5",
    "--5",
    "+-5",
    "1.10",
    "300",
    "7FFFFFFF",
    "80000000",
    "-80000000",
    "-80000001",
    "FFFFFFFFFFFFFFFFFFFF",
    "2147483647",
    "2147483648",
    "-2147483648",
    "-2147483649",
    "99999999999999999999",
    "0x0x5",
    "00000000000000000000042",
    "\xE9"
    "5",
};

class ConversionTest : public testing::TestWithParam<std::string> {};

TEST_P(ConversionTest, HexMatchesStrtolBase16) {
    EXPECT_EQ(HexToLong(GetParam()), Reference(GetParam(), 16));
}

TEST_P(ConversionTest, DecimalMatchesAtoi) {
    const std::string& text = GetParam();
    const std::int32_t expected = Reference(text, 10);
    EXPECT_EQ(DecimalToInt(text), expected);
    // atoi itself is defined only where the number fits an int.
    if (expected != INT32_MIN && expected != INT32_MAX) {
        EXPECT_EQ(DecimalToInt(text), std::atoi(text.c_str()));
    }
}

INSTANTIATE_TEST_SUITE_P(Texts, ConversionTest, testing::ValuesIn(INPUTS));

struct DerivedCase {
    std::string text;
    unsigned usbId;
    unsigned busPower;
    unsigned deviceVersion;
};

// Test names show the case, not its bytes.
void PrintTo(const DerivedCase& c, std::ostream* os) {
    *os << '"' << c.text << '"';
}

const DerivedCase DERIVED_CASES[] = {
    {"10C4", 0x10C4, 10, 0}, {"0x10C4", 0x10C4, 0, 0},     {"", 0, 0, 0},
    {"50", 0x50, 50, 0},     {"300", 0x300, 44, 0},        {"-1", 0xFFFF, 0xFF, 0},
    {"10000", 0, 0x10, 0},   {"7FFFFFFFFF", 0xFFFF, 7, 0}, {"1.0", 1, 1, 0x0100},
    {"1.10", 1, 1, 0x010A},  {"2", 2, 2, 0x0000},          {"300.1", 0x300, 44, 0x2C01},
    {"1.2.3", 1, 1, 0x0102}, {".5", 0, 0, 0x0005},         {"-1.-1", 0xFFFF, 0xFF, 0xFFFF},
};

class DerivedValueTest : public testing::TestWithParam<DerivedCase> {};

TEST_P(DerivedValueTest, KeepsLowBits) {
    const DerivedCase& c = GetParam();
    EXPECT_EQ(UsbIdValue(c.text), c.usbId);
    EXPECT_EQ(BusPowerValue(c.text), c.busPower);
    EXPECT_EQ(DeviceVersionValue(c.text), c.deviceVersion);
}

INSTANTIATE_TEST_SUITE_P(Texts, DerivedValueTest, testing::ValuesIn(DERIVED_CASES));

}  // namespace
