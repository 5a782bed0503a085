// What a simulated target is told by the dongle's "target" object of the state file: its
// identity, its timings and the fault switches. Every key has a default (see README.md).
#pragma once

#include <cstdint>
#include <nlohmann/json.hpp>
#include <string>

// Where a target fails while it takes record packets.
enum class RecordFault { NONE, BAD_PARSE, INNER, OUTER, ERROR_REPLY, SILENCE, UNPLUG };

// Which command makes the dongle disappear from the bus when the target receives it.
enum class UnplugPoint { NONE, SYNC, ERASE, START, END };

struct TargetSettings {
    std::string model;
    std::string bootloader = "r6";
    std::string firmware = "1.00";
    // The model named in reports; differs from model only for the wrong-model fault.
    std::string reportedModel;
    // Packets per block; 0 takes the block size the host chooses for this model.
    int blockSize = 0;
    bool blockReplyNext = false;
    std::int64_t replyMicros = 2'000;
    std::int64_t eraseMicros = 500'000;
    std::int64_t splitGapMicros = 10'000;
    int leadingZeros = 0;
    bool silent = false;
    bool noSyncReply = false;
    bool lateSyncReply = false;
    bool eraseNeverConfirmed = false;
    bool splitReplies = false;
    bool endNeverConfirmed = false;
    RecordFault recordFault = RecordFault::NONE;
    int recordFaultAt = 1;
    UnplugPoint unplugAt = UnplugPoint::NONE;
};

// How long after the sync command a late sync reply starts: after the host's single read,
// which comes 100 ms after the command.
constexpr std::int64_t LATE_SYNC_REPLY_MICROS = 150'000;

// Reads the settings; a missing key, or one of the wrong JSON type, takes its default.
TargetSettings ReadTargetSettings(const nlohmann::json& targetObject);
