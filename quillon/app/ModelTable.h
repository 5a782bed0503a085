// The sixteen target model names. A name's position decides which updater dialog it opens; the
// names also travel on the wire and stand in the firmware files, so they are used exactly.
#pragma once

#include <string_view>

constexpr int MODEL_COUNT = 16;

// Ordered, followed by an end marker (nullptr).
inline constexpr const char16_t* modelTable[MODEL_COUNT + 1] = {
    u"KQ-VTR",   u"ZTRNWQ5",  u"yMOR",     u"qLAV",     u"KM7-TB21", u"KM7-LW21",
    u"KM7-HS43", u"KM7-NE21", u"KM7-OQ21", u"KM7-JU21", u"KM8-HS43", u"KM7-HS21",
    u"KM8-HS21", u"KM7-HS44", u"KM7-HS65", u"KM8-HS65", nullptr,
};

// Table positions in this range open the generic updater dialog.
constexpr int FIRST_GENERIC_POSITION = 1;
constexpr int LAST_GENERIC_POSITION = 30;

constexpr std::u16string_view KQVTR_MODEL_NAME = u"KQ-VTR";

// The first position whose name equals text exactly (case-sensitive), or -1.
int FindModel(std::u16string_view text);
