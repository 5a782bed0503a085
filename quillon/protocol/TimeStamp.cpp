// The asctime layout, built from fixed English names so that no locale changes it.
#include "quillon/protocol/TimeStamp.h"

#include <algorithm>
#include <cstdio>

#include "platform/text/WideText.h"

namespace {
constexpr const char* WEEKDAYS[] = {"Sun", "Mon", "Tue", "Wed", "Thu", "Fri", "Sat"};
constexpr const char* MONTHS[] = {"Jan", "Feb", "Mar", "Apr", "May", "Jun",
                                  "Jul", "Aug", "Sep", "Oct", "Nov", "Dec"};
constexpr int TM_YEAR_BASE = 1900;
}  // namespace

std::u16string AscTimeText(const std::tm& time) {
    char text[64];
    std::snprintf(text, sizeof text, "%.3s %.3s %02d %02d:%02d:%02d %04d\n",
                  WEEKDAYS[std::clamp(time.tm_wday, 0, 6)], MONTHS[std::clamp(time.tm_mon, 0, 11)],
                  time.tm_mday, time.tm_hour, time.tm_min, time.tm_sec,
                  time.tm_year + TM_YEAR_BASE);
    return WidenBytes(text);
}

void WriteTimeStamp(char16_t* buffer) {
    const std::time_t now = std::time(nullptr);
    std::tm local{};
    localtime_r(&now, &local);
    const std::u16string text = AscTimeText(local);
    std::copy(text.begin(), text.end(), buffer);
    buffer[text.size()] = u'\0';
}
