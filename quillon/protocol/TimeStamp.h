// Session time stamps: the local time in the C library's asctime layout,
// "Www Mmm dd hh:mm:ss yyyy\n" (25 characters, the line feed included).
#pragma once

#include <ctime>
#include <string>

constexpr std::size_t TIME_STAMP_LENGTH = 25;

// The asctime text of a broken-down time; the day of the month always has two digits.
std::u16string AscTimeText(const std::tm& time);

// Writes the current local time's text, zero-terminated, into a buffer of at least
// TIME_STAMP_LENGTH + 1 characters.
void WriteTimeStamp(char16_t* buffer);
