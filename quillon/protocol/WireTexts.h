// The texts of the bracketed target protocol, exactly as they travel (before complementing).
// Host commands are 8-bit; target replies are matched in the 16-bit text a read delivers.
#pragma once

#include <string_view>

// Sent by the host.
inline constexpr const char* CMD_SYNC = "[cmd<sync>]\n";
inline constexpr const char* CMD_ERASE = "[cmd<erase>]\n";
inline constexpr const char* CMD_UPDATE_START = "[cmd<update>start]";
inline constexpr const char* CMD_UPDATE_END = "[cmd<update>end]";
inline constexpr std::u16string_view INFO_FILE_NAME = u"[info<file_name>";
inline constexpr std::u16string_view INFO_FILE_SIZE = u"[info<file_size>";
inline constexpr std::u16string_view INFO_END = u"]\n";

// Reports of the target after an information query or the sync preamble.
inline constexpr std::u16string_view INFO_PREFIX = u"[info<";
inline constexpr std::u16string_view INFO_MODEL_END = u">";
inline constexpr std::u16string_view INFO_BOOTLOADER = u"[info<btldr>";

// Replies of the target. The ok reply counts only with its line feed.
inline constexpr std::u16string_view RES_SYNC_OK = u"[res<sync>ok]";
inline constexpr std::u16string_view RES_ERASE_OK = u"[res<erase>ok]";
inline constexpr std::u16string_view RES_UPDATE_OK = u"[res<update>ok]\n";
inline constexpr std::u16string_view RES_UPDATE_NEXT = u"[res<update>next]";
inline constexpr std::u16string_view RES_UPDATE_COMPLETE = u"[res<update>complete]";
inline constexpr std::u16string_view RES_UPDATE_ERROR = u"[res<update>error]";
inline constexpr std::u16string_view RES_UPDATE_BAD_PARSE = u"[res<update>bad parse]";
inline constexpr std::u16string_view RES_UPDATE_INNER = u"[res<update>inner]";
inline constexpr std::u16string_view RES_UPDATE_OUTER = u"[res<update>outer]";
inline constexpr std::u16string_view RES_UPDATE_END = u"[res<update>end]";

// Packets open and close with these; a reply is judged complete once it holds a closing one.
inline constexpr char16_t PACKET_OPEN = u'[';
inline constexpr char16_t PACKET_CLOSE = u']';
