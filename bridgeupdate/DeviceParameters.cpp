// Reading and checking deviceparameters.txt.
#include "bridgeupdate/DeviceParameters.h"

#include "bridgeupdate/AnsiText.h"
#include "bridgeupdate/Conversions.h"
#include "platform/textfile/TextFile.h"

namespace {

// Section names in matching order; a line is the section of the first name found in it.
constexpr std::array<std::string_view, PARAM_COUNT> SECTION_NAMES = {
    "[VID]",  "[PID]", "[Product String]", "[Serial Number]", "[Bus Power]", "[Device Version]",
    "[Port]",
};

// Reads the next line, cut to the longest line the file may hold. Returns whether it was cut.
bool ReadCutLine(CTextFile& file, std::string& line) {
    file.ReadLine(line);
    if (line.size() <= MAX_LINE_LENGTH) {
        return false;
    }
    line.resize(MAX_LINE_LENGTH);
    return true;
}

int FindSection(std::string_view line) {
    for (std::size_t which = 0; which < PARAM_COUNT; ++which) {
        if (line.find(SECTION_NAMES[which]) != std::string_view::npos) {
            return static_cast<int>(which);
        }
    }
    return -1;
}

// A value line holding a '?' is well-formed: the value is the line without its first character,
// whatever that character is.
std::u16string ValueOf(std::string_view valueLine, bool wasCut) {
    if (wasCut || valueLine.find('?') == std::string_view::npos) {
        return std::u16string(INVALID_MARK);
    }
    return FromAnsi(valueLine.substr(1));
}

}  // namespace

std::string_view SectionName(DeviceParameter which) {
    return SECTION_NAMES[which];
}

bool ReadDeviceParameters(const std::string& path, DeviceParameters& parameters) {
    CTextFile file;
    if (!file.Open(path)) {
        return false;
    }
    // A read that meets the end of the file still hands on what it got, so a last line without a
    // line end counts, and a section line at the very end gets an empty (malformed) value line.
    std::string line;
    while (!file.AtEnd()) {
        ReadCutLine(file, line);
        const int which = FindSection(line);
        if (which < 0) {
            continue;
        }
        const bool wasCut = ReadCutLine(file, line);
        parameters.values[which] = ValueOf(line, wasCut);
        parameters.present[which] = true;
    }
    return true;
}

bool CheckDeviceParameters(const DeviceParameters& parameters) {
    for (std::size_t which = 0; which < PARAM_COUNT; ++which) {
        if (!parameters.present[which] ||
            parameters.values[which].find(INVALID_MARK) != std::u16string::npos) {
            return false;
        }
    }
    return UsbIdValue(ToAnsi(parameters[PARAM_VID])) != 0 &&
           UsbIdValue(ToAnsi(parameters[PARAM_PID])) != 0;
}
