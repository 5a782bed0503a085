// The generic updater's firmware file check, file information and record transfer.
#include "platform/clock/Clock.h"
#include "platform/text/WideText.h"
#include "quillon/dialogs/Cymor.h"
#include "quillon/dialogs/CymorTexts.h"
#include "quillon/link/BridgePort.h"
#include "quillon/protocol/GenericTarget.h"
#include "quillon/protocol/Matching.h"
#include "quillon/protocol/Reception.h"
#include "quillon/protocol/RecordTransfer.h"
#include "quillon/protocol/WireTexts.h"

namespace {
// Record lines of a ".kmx" file are Intel HEX records.
constexpr char RECORD_MARK = ':';
constexpr unsigned FILE_INFO_WAIT_MS = 100;
constexpr int NOTHING_USABLE = 2;

// Replies to a transfer poll, in the order they are tested.
constexpr ReplyCase TRANSFER_REPLIES[] = {
    {RES_UPDATE_COMPLETE, 1}, {RES_UPDATE_OK, 0},         {RES_UPDATE_NEXT, 0},
    {RES_UPDATE_ERROR, -1},   {RES_UPDATE_BAD_PARSE, -1}, {RES_UPDATE_INNER, -10},
    {RES_UPDATE_OUTER, -11},
};
constexpr int BLOCK_REQUESTED = 0;
}  // namespace

int Cymor::Refuse(std::u16string_view message) {
    MessageBox(message, ERROR_CAPTION, MB_OK);
    return -1;
}

int Cymor::ValidateFile() {
    // The extension test is case-sensitive and accepts ".kmx" anywhere after the first character.
    if (filePath.find(FIRMWARE_EXTENSION, 1) == std::u16string::npos) {
        return Refuse(MSG_INVALID_SELECTION);
    }
    if (IsLinkReady() == -1) {
        return Refuse(MSG_LINK_ERROR);
    }
    // Renews recordsPerBlock; a mismatch is caught by the sync.
    CheckTarget();
    if (!firmwareFile.Open(ToUtf8(filePath))) {
        fileLength = 0;
        return Refuse(MSG_OPEN_ERROR);
    }
    firmwareFile.SeekToBegin();
    fileLength = firmwareFile.GetLength();
    if (FileMatchesModel() == -1) {
        fileLength = 0;
        firmwareFile.Close();
        return Refuse(MSG_NOT_COMPATIBLE);
    }
    return 1;
}

int Cymor::FileMatchesModel() {
    return FindLineContaining(firmwareFile, modelName) ? 1 : -1;
}

int Cymor::SendFileInfo() {
    bridgePort.WriteWideText(
        (std::u16string(INFO_FILE_NAME) + filePath + std::u16string(INFO_END)).c_str());
    const std::uint64_t size = RecordPartSize(firmwareFile, RECORD_MARK, fileLength);
    bridgePort.WriteWideText(
        (std::u16string(INFO_FILE_SIZE) + HexSizeText(size) + std::u16string(INFO_END)).c_str());
    SleepMs(FILE_INFO_WAIT_MS);
    return 0;
}

int Cymor::UpdateStep() {
    // The bar shows the state before this poll's block.
    progressBar.SetPos(ProgressPercent(bytesConsumed, fileLength));
    CReceptionBuffer buffer;
    if (!buffer.Ok()) {
        return MemoryFailure();
    }
    if (startSent == 0) {
        bridgePort.WriteText(CMD_UPDATE_START);
        startSent = 1;
        return NOTHING_USABLE;
    }
    std::u16string info;
    if (ReadCompleted(bridgePort, buffer, info) <= 0) {
        return NOTHING_USABLE;
    }
    const int result = MatchReply(info, TRANSFER_REPLIES, NOTHING_USABLE);
    if (result == BLOCK_REQUESTED) {
        SendBlock();
    }
    return result;
}

void Cymor::SendBlock() {
    SendRecordBlock(firmwareFile, RECORD_MARK, recordsPerBlock, bytesConsumed,
                    [](const std::u16string& packet) { bridgePort.WriteWideText(packet.c_str()); });
}
