// The simulated interface module of every model that speaks the generic update protocol: it
// follows the GPIO latch, reports its versions, answers sync, erase, update start, blocks of
// records and update end, and rebuilds the firmware image it receives.
#pragma once

#include <cstdint>
#include <string>
#include <vector>

#include "sim/SimTarget.h"
#include "sim/target/FirmwareImage.h"
#include "sim/target/TargetSettings.h"

class CGenericTarget final : public ISimTarget {
public:
    explicit CGenericTarget(TargetSettings settings);

    void OnLatch(std::uint8_t latch, std::int64_t now, ISimTargetOutput& output) override;
    void OnHostByte(char byte, std::int64_t now, ISimTargetOutput& output) override;
    // Writes "bootloader" and "firmware"; the firmware is the new version after an update.
    void SaveState(nlohmann::json& targetObject) const override;

    // What tests and tools inspect after a session.
    const std::vector<std::uint8_t>& Image() const { return image.Bytes(); }
    std::uint32_t ImageBase() const { return image.Base(); }
    const std::string& FirmwareVersion() const { return firmware; }
    const std::string& AnnouncedFileName() const { return fileName; }
    const std::string& AnnouncedFileSize() const { return fileSize; }
    int RecordsPerBlock() const { return recordsPerBlock; }
    int PacketsReceived() const { return packetCount; }
    bool IsPowered() const;
    bool IsListening() const { return listening; }

private:
    enum class Transfer { IDLE, RECEIVING, COMPLETE, STOPPED };

    void Report(std::int64_t now, ISimTargetOutput& output);
    void StartSession();
    void HandlePacket(const std::string& packet, std::int64_t now, ISimTargetOutput& output);
    bool HandleCommand(const std::string& packet, std::int64_t now, ISimTargetOutput& output);
    bool HandleFileInfo(const std::string& packet);
    void OnSync(std::int64_t now, ISimTargetOutput& output);
    void OnErase(std::int64_t now, ISimTargetOutput& output);
    void OnUpdateStart(std::int64_t now, ISimTargetOutput& output);
    void OnUpdateEnd(std::int64_t now, ISimTargetOutput& output);
    void OnRecordPacket(const std::string& content, std::int64_t now, ISimTargetOutput& output);
    bool InjectRecordFault(std::int64_t now, ISimTargetOutput& output);
    // Takes one record into the image; false (after answering) when it is refused.
    bool TakeRecord(const std::string& content, std::int64_t now, ISimTargetOutput& output);
    void Fail(const std::string& reply, std::int64_t now, ISimTargetOutput& output);
    bool UnplugsAt(UnplugPoint point, std::int64_t now, ISimTargetOutput& output);
    // Puts a message on the wire, in two pieces when replies are split.
    void Deliver(const std::string& text, std::int64_t at, ISimTargetOutput& output);

    TargetSettings settings;
    std::string firmware;
    int recordsPerBlock;
    std::uint8_t latch;
    bool listening = false;
    std::string packet;
    bool inPacket = false;

    // Session state, fresh with every sync preamble.
    std::string fileName;
    std::string fileSize;
    Transfer transfer = Transfer::IDLE;
    bool updated = false;
    int packetCount = 0;
    int packetsInBlock = 0;
    CFirmwareImage image;
};
