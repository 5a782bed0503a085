// The generic updater's command and response exchange with the target: information query,
// target check, version read-out, sync, erase and update end.
#include "platform/clock/Clock.h"
#include "quillon/dialogs/Cymor.h"
#include "quillon/link/BridgePort.h"
#include "quillon/protocol/GenericTarget.h"
#include "quillon/protocol/GpioPatterns.h"
#include "quillon/protocol/Matching.h"
#include "quillon/protocol/Packets.h"
#include "quillon/protocol/Reception.h"
#include "quillon/protocol/WireTexts.h"

namespace {
constexpr unsigned SYNC_REPLY_WAIT_MS = 100;
constexpr unsigned END_REPLY_WAIT_MS = 25;
}  // namespace

std::u16string Cymor::FindWhat() const {
    return std::u16string(INFO_PREFIX) + modelName + std::u16string(INFO_MODEL_END);
}

void Cymor::QueryTargetInfo(char16_t* buffer) {
    DrivePattern(bridgePort, INFO_QUERY_BEFORE_READ);
    bridgePort.ReadWideText(buffer);
    DrivePattern(bridgePort, INFO_QUERY_AFTER_READ);
}

int Cymor::IsLinkReady() {
    return bridgePort.GetDeviceCount() >= 1 && bridgePort.GetHandle() != NO_BRIDGE_HANDLE ? 1 : -1;
}

int Cymor::CheckTarget() {
    CReceptionBuffer buffer;
    if (!buffer.Ok()) {
        return MemoryFailure();
    }
    QueryTargetInfo(buffer.Data());
    if (!Contains(buffer.Text(), FindWhat())) {
        return -2;
    }
    recordsPerBlock = RecordsPerBlockFor(modelName, bootloaderVersion);
    return 1;
}

int Cymor::ReadVersions() {
    CReceptionBuffer buffer;
    if (!buffer.Ok()) {
        MemoryFailure();
        return 0;
    }
    QueryTargetInfo(buffer.Data());
    ParseVersionReport(buffer.Text());
    return 0;
}

int Cymor::ParseVersionReport(std::u16string_view text) {
    bootloaderBox.SetWindowText(u"");
    firmwareBox.SetWindowText(u"");
    noteText.SetWindowText(u"");
    const std::u16string findWhat = FindWhat();
    std::u16string_view rest = text;
    while (const auto packet = NextPacket(rest)) {
        if (const auto bootloader = PacketValue(*packet, INFO_BOOTLOADER)) {
            bootloaderVersion = *bootloader;
            bootloaderBox.SetWindowText(*bootloader);
        } else if (const auto firmware = PacketValue(*packet, findWhat)) {
            firmwareBox.SetWindowText(*firmware);
        }
    }
    return 1;
}

int Cymor::Sync() {
    CReceptionBuffer buffer;
    if (!buffer.Ok()) {
        return MemoryFailure();
    }
    std::u16string info;
    DrivePattern(bridgePort, SYNC_PREAMBLE);
    // A target that reports nothing after the preamble is not judged by its model.
    if (ReadCompleted(bridgePort, buffer, info) > 0 && !Contains(info, FindWhat())) {
        return -2;
    }
    info.clear();
    bridgePort.WriteText(CMD_SYNC);
    SleepMs(SYNC_REPLY_WAIT_MS);
    ReadOnce(bridgePort, buffer, info);
    return Contains(info, RES_SYNC_OK) ? 1 : -1;
}

int Cymor::EraseStep() {
    CReceptionBuffer buffer;
    if (!buffer.Ok()) {
        return MemoryFailure();
    }
    if (eraseSent == 0) {
        bridgePort.WriteText(CMD_ERASE);
        eraseSent = 1;
    }
    std::u16string info;
    ReadCompleted(bridgePort, buffer, info);
    return Contains(info, RES_ERASE_OK) ? 1 : 0;
}

int Cymor::UpdateEnd() {
    CReceptionBuffer buffer;
    if (!buffer.Ok()) {
        return MemoryFailure();
    }
    bridgePort.WriteText(CMD_UPDATE_END);
    SleepMs(END_REPLY_WAIT_MS);
    std::u16string info;
    ReadCompleted(bridgePort, buffer, info);
    return Contains(info, RES_UPDATE_END) ? 1 : -1;
}
