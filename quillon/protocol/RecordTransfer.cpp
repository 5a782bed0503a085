// Record file mechanics shared by the firmware and database transfers.
#include "quillon/protocol/RecordTransfer.h"

#include <algorithm>

#include "platform/text/WideText.h"

namespace {
constexpr int MAX_PERCENT = 100;
constexpr char16_t HEX_DIGITS[] = u"0123456789ABCDEF";
}  // namespace

bool FindLineContaining(CLineFile& file, std::u16string_view text) {
    file.SeekToBegin();
    std::string line;
    while (file.ReadLine(line)) {
        if (WidenBytes(line).find(text) != std::u16string::npos) {
            return true;
        }
    }
    file.SeekToBegin();
    return false;
}

std::uint64_t RecordPartSize(CLineFile& file, char recordMark, std::uint64_t fileLength) {
    std::uint64_t size = fileLength;
    file.SeekToBegin();
    std::string line;
    while (file.ReadLine(line) && !line.starts_with(recordMark)) {
        size -= std::min(size, CountedLength(line));
    }
    file.SeekToBegin();
    return size;
}

std::u16string HexSizeText(std::uint64_t size) {
    std::uint32_t value = static_cast<std::uint32_t>(size);
    std::u16string digits;
    do {
        digits.insert(digits.begin(), HEX_DIGITS[value % 16]);
        value /= 16;
    } while (value != 0);
    return digits;
}

std::u16string NextRecordPacket(CLineFile& file, char recordMark, std::uint64_t& bytesConsumed,
                                bool& fileEnded) {
    std::string line;
    fileEnded = false;
    while (!line.starts_with(recordMark)) {
        file.ReadLine(line);
        bytesConsumed += CountedLength(line);
        if (file.AtEnd()) {
            fileEnded = true;
            break;
        }
    }
    std::erase(line, ' ');
    return u"[" + WidenBytes(line) + u"]";
}

int SendRecordBlock(CLineFile& file, char recordMark, int count, std::uint64_t& bytesConsumed,
                    const std::function<void(const std::u16string&)>& send) {
    int sent = 0;
    bool fileEnded = false;
    while (sent < count && !fileEnded) {
        send(NextRecordPacket(file, recordMark, bytesConsumed, fileEnded));
        ++sent;
    }
    return sent;
}

int ProgressPercent(std::uint64_t bytesConsumed, std::uint64_t fileLength) {
    if (fileLength == 0) {
        return 0;
    }
    const double percent =
        static_cast<double>(bytesConsumed) / static_cast<double>(fileLength) * MAX_PERCENT;
    return percent >= MAX_PERCENT ? MAX_PERCENT : static_cast<int>(percent);
}
