// The mechanics of sending an update file that both updater dialogs share: the model-line
// search, the size of the record part, record packets with their byte accounting, the size text
// and the progress position. Record lines start with a mark character that differs by file kind.
#pragma once

#include <cstdint>
#include <functional>
#include <string>
#include <string_view>

#include "quillon/protocol/LineFile.h"

// From the start of the file, reads lines until one holds text (case-sensitive). On a hit the
// file stays after that line and the result is true; otherwise the file is back at its start.
bool FindLineContaining(CLineFile& file, std::u16string_view text);

// fileLength less the counted length of every line before the first record line (all lines
// when there is none), never below 0. Leaves the file at its start.
std::uint64_t RecordPartSize(CLineFile& file, char recordMark, std::uint64_t fileLength);

// The size text of the file information: the low 32 bits in hexadecimal, capital letters, no
// prefix and no leading zeros.
std::u16string HexSizeText(std::uint64_t size);

// Forms the next packet of a block: reads lines, counting each into bytesConsumed, until one
// begins with recordMark or the file ends, and returns "[" + that line + "]" without spaces.
// When the file had already ended, the line is empty, 2 is still counted and the packet is
// "[]". fileEnded tells whether the file has ended with this packet.
std::u16string NextRecordPacket(CLineFile& file, char recordMark, std::uint64_t& bytesConsumed,
                                bool& fileEnded);

// Sends one block: up to count packets, one after another without a wait, ending early when
// the file ends. Returns how many packets went to send.
int SendRecordBlock(CLineFile& file, char recordMark, int count, std::uint64_t& bytesConsumed,
                    const std::function<void(const std::u16string&)>& send);

// The progress bar position: bytesConsumed / fileLength x 100, truncated, at most 100 (the
// counting may pass the real length); 0 for an empty file.
int ProgressPercent(std::uint64_t bytesConsumed, std::uint64_t fileLength);
