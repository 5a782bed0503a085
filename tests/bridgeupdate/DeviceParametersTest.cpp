// Reading deviceparameters.txt: section and value lines, malformed values, line ends, long lines;
// and the check that refuses incomplete or unsafe parameters.
#include <gtest/gtest.h>

#include <optional>
#include <ostream>
#include <string>

#include "bridgeupdate/DeviceParameters.h"
#include "tests/support/TempDir.h"

namespace {

struct ReadCase {
    const char* name;
    std::string content;
    DeviceParameter section;
    // Empty: the section must stay absent.
    std::optional<std::u16string> expected;
};

// Test names show the case, not its bytes.
void PrintTo(const ReadCase& c, std::ostream* os) {
    *os << c.name;
}

const std::string LONG_TAIL(255, 'x');

const ReadCase READ_CASES[] = {
    {"Plain", "[VID]\n?10C4\n", PARAM_VID, u"10C4"},
    {"FirstCharacterDropped", "[VID]\n10C4?\n", PARAM_VID, u"0C4?"},
    {"PrefixKept", "[VID]\n?0x10C4\n", PARAM_VID, u"0x10C4"},
    {"LaterMarksKept", "[VID]\n?a?b\n", PARAM_VID, u"a?b"},
    {"OnlyMarkIsEmptyValue", "[VID]\n?\n", PARAM_VID, u""},
    {"NoMarkIsInvalid", "[VID]\n10C4\n", PARAM_VID, u"Invalid"},
    {"TextAroundName", "x[VID]y\n?1\n", PARAM_VID, u"1"},
    {"VidBeforePortOnOneLine", "[Port] [VID]\n?1\n", PARAM_VID, u"1"},
    {"OnlyFirstNameOfLineCounts", "[Port] [VID]\n?1\n", PARAM_PORT, std::nullopt},
    {"SectionAsValueLine", "[VID]\n[PID]\n?2\n", PARAM_VID, u"Invalid"},
    {"SectionAsValueLineNotRecognised", "[VID]\n[PID]\n?2\n", PARAM_PID, std::nullopt},
    {"LastOccurrenceWins", "[VID]\n?1\n[VID]\n?2\n", PARAM_VID, u"2"},
    {"MalformedLastOccurrenceWins", "[VID]\n?1\n[VID]\nbad\n", PARAM_VID, u"Invalid"},
    {"SectionLastWithoutLineEnd", "[VID]\n?1\n[PID]", PARAM_PID, u"Invalid"},
    {"SectionLastWithLineEnd", "[VID]\n?1\n[PID]\n", PARAM_PID, u"Invalid"},
    {"LastLineWithoutLineEnd", "[PID]\n?EA61", PARAM_PID, u"EA61"},
    {"CarriageReturnLineFeed", "[VID]\r\n?10C4\r\n[PID]\r\n?EA61\r\n", PARAM_PID, u"EA61"},
    {"NotesIgnored", "Bramlet\n\n[Unknown]\n?9\n[Serial Number]\n?0021234\n", PARAM_SERIAL_NUMBER,
     u"0021234"},
    {"BytesKeptOnePerCharacter", "[Product String]\n?Caf\xE9\n", PARAM_PRODUCT_STRING,
     u"Caf\u00E9"},
    {"LongestValueLineKept", "[Serial Number]\n?" + std::string(254, 'A') + "\n",
     PARAM_SERIAL_NUMBER, std::u16string(254, u'A')},
    {"OverlongValueLineInvalid", "[Serial Number]\n?" + std::string(255, 'A') + "\n",
     PARAM_SERIAL_NUMBER, u"Invalid"},
    // The tail of an overlong line is dropped, never read as a line of its own.
    {"OverlongLineTailDropped", LONG_TAIL + "[VID]\n?5\n", PARAM_VID, std::nullopt},
};

class ReadDeviceParametersTest : public testing::TestWithParam<ReadCase> {};

TEST_P(ReadDeviceParametersTest, SetsSectionValue) {
    const ReadCase& c = GetParam();
    CTempDir dir;
    DeviceParameters parameters;
    ASSERT_TRUE(ReadDeviceParameters(dir.Put(DEVICE_PARAMETERS_FILE, c.content), parameters));
    EXPECT_EQ(parameters.present[c.section], c.expected.has_value());
    EXPECT_EQ(parameters[c.section], c.expected.value_or(u""));
}

INSTANTIATE_TEST_SUITE_P(Files, ReadDeviceParametersTest, testing::ValuesIn(READ_CASES),
                         [](const auto& info) { return std::string(info.param.name); });

TEST(ReadDeviceParameters, FileThatCannotBeOpenedLeavesValuesUntouched) {
    CTempDir dir;
    DeviceParameters parameters;
    parameters.values[PARAM_VID] = u"10C4";
    EXPECT_FALSE(ReadDeviceParameters((dir.Path() / DEVICE_PARAMETERS_FILE).string(), parameters));
    EXPECT_FALSE(ReadDeviceParameters(dir.Path().string(), parameters));
    EXPECT_EQ(parameters[PARAM_VID], u"10C4");
}

const std::string GOOD_FILE =
    "[VID]\n?10C4\n[PID]\n?EA61\n[Product String]\n?Bramlet\n[Serial Number]\n?0020001\n"
    "[Bus Power]\n?50\n[Device Version]\n?1.0\n[Port]\n?0\n";

struct CheckCase {
    const char* name;
    // The good file with this text replaced.
    std::string from;
    std::string to;
    bool passes;
};

// Test names show the case, not its bytes.
void PrintTo(const CheckCase& c, std::ostream* os) {
    *os << c.name;
}

const CheckCase CHECK_CASES[] = {
    {"Complete", "", "", true},
    {"EmptyValueOfTextSection", "?Bramlet", "?", true},
    {"MalformedPort", "?0\n", "0\n", false},
    {"InvalidMarkInsideValue", "?Bramlet", "?Invalid unit", false},
    {"InvalidMarkIsCaseSensitive", "?Bramlet", "?invalid unit", true},
    {"SectionMissing", "[Bus Power]\n?50\n", "", false},
    {"VidZero", "?10C4", "?0", false},
    {"VidEmpty", "?10C4", "?", false},
    {"PidLow16BitsZero", "?EA61", "?10000", false},
    {"PidNotHex", "?EA61", "?xyz", false},
};

class CheckDeviceParametersTest : public testing::TestWithParam<CheckCase> {};

TEST_P(CheckDeviceParametersTest, DecidesWhetherValuesMayBeWritten) {
    const CheckCase& c = GetParam();
    std::string content = GOOD_FILE;
    if (!c.from.empty()) {
        const std::size_t at = content.find(c.from);
        ASSERT_NE(at, std::string::npos);
        content.replace(at, c.from.size(), c.to);
    }
    CTempDir dir;
    DeviceParameters parameters;
    ASSERT_TRUE(ReadDeviceParameters(dir.Put(DEVICE_PARAMETERS_FILE, content), parameters));
    EXPECT_EQ(CheckDeviceParameters(parameters), c.passes);
}

INSTANTIATE_TEST_SUITE_P(Files, CheckDeviceParametersTest, testing::ValuesIn(CHECK_CASES),
                         [](const auto& info) { return std::string(info.param.name); });

TEST(CheckDeviceParameters, EmptyFileRefused) {
    CTempDir dir;
    DeviceParameters parameters;
    ASSERT_TRUE(ReadDeviceParameters(dir.Put(DEVICE_PARAMETERS_FILE, ""), parameters));
    EXPECT_FALSE(CheckDeviceParameters(parameters));
}

}  // namespace
