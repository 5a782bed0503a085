// What the generic updater dialog shows the user: message boxes and session log lines.
#pragma once

#include <string_view>

inline constexpr std::u16string_view ERROR_CAPTION = u"ERROR";

// Message boxes.
inline constexpr std::u16string_view MSG_MEMORY = u"Memory Allocation Error";
inline constexpr std::u16string_view MSG_MISMATCH =
    u"Device and request mismatch.  Choose the interface that is connected to the computer !!";
inline constexpr std::u16string_view MSG_INVALID_SELECTION =
    u"Invalid file selection.  Choose a file with the extension .kmx";
inline constexpr std::u16string_view MSG_LINK_ERROR =
    u"Bramlet communication error.  Reconnect and try again.";
inline constexpr std::u16string_view MSG_OPEN_ERROR = u"Error opening the selected file.";
inline constexpr std::u16string_view MSG_NOT_COMPATIBLE =
    u"The selected file is not compatible with the connected target.";

// Log lines.
inline constexpr std::u16string_view LOG_ATTEMPT_FAILED = u"Update attempt failed.\r\n";
inline constexpr std::u16string_view LOG_START = u"Start Update: ";
inline constexpr std::u16string_view LOG_DO_NOT_DISCONNECT = u"Do not disconnect\r\n";
inline constexpr std::u16string_view LOG_SYNC_ERROR = u"Sync error\r\n";
inline constexpr std::u16string_view LOG_MISMATCH = u"File and interface mismatch \r\n";
inline constexpr std::u16string_view LOG_SYNC_COMPLETE = u"Sync complete\r\n";
inline constexpr std::u16string_view LOG_ERASE_BEGIN = u"Erase begin\r\n";
inline constexpr std::u16string_view LOG_ERASE_COMPLETE = u"Erase complete\r\n";
inline constexpr std::u16string_view LOG_TRANSFER_START = u"Starting Firmware transfer\r\n";
inline constexpr std::u16string_view LOG_TIME_OUT = u"Response time out error\r\n";
inline constexpr std::u16string_view LOG_TRANSFER_COMPLETE = u"Firmware transfer complete\r\n";
inline constexpr std::u16string_view LOG_TRANSFER_ERROR = u"Firmware transfer error\r\n";
inline constexpr std::u16string_view LOG_INNER = u"Inner\r\n";
inline constexpr std::u16string_view LOG_OUTER = u"Outer\r\n";
inline constexpr std::u16string_view LOG_END = u"End Update: ";
inline constexpr std::u16string_view LOG_SUCCESS = u"Update Successful, OK to disconnect\r\n";
inline constexpr std::u16string_view LOG_LINE_END = u"\r\n";

// The file chooser.
inline constexpr std::u16string_view FIRMWARE_FILTER = u"Firmware File|*.kmx|All Files|*.*||";
inline constexpr std::u16string_view UPDATE_FILES_FOLDER =
    u"C:\\Program Files\\Vellmar\\UpdateFiles\\";
inline constexpr std::u16string_view FIRMWARE_EXTENSION = u".kmx";
