// Reads a target's settings from its state-file object without ever throwing: a key of the
// wrong type counts as missing.
#include "sim/target/TargetSettings.h"

#include <array>
#include <utility>

namespace {

struct RecordFaultName {
    const char* name;
    RecordFault fault;
};

constexpr std::array<RecordFaultName, 6> RECORD_FAULT_NAMES{{
    {"bad parse", RecordFault::BAD_PARSE},
    {"inner", RecordFault::INNER},
    {"outer", RecordFault::OUTER},
    {"error", RecordFault::ERROR_REPLY},
    {"silence", RecordFault::SILENCE},
    {"unplug", RecordFault::UNPLUG},
}};

struct UnplugPointName {
    const char* name;
    UnplugPoint point;
};

constexpr std::array<UnplugPointName, 4> UNPLUG_POINT_NAMES{{
    {"sync", UnplugPoint::SYNC},
    {"erase", UnplugPoint::ERASE},
    {"start", UnplugPoint::START},
    {"end", UnplugPoint::END},
}};

const nlohmann::json* Find(const nlohmann::json& object, const char* key) {
    if (!object.is_object()) {
        return nullptr;
    }
    auto it = object.find(key);
    return it == object.end() ? nullptr : &*it;
}

std::string Text(const nlohmann::json& object, const char* key, std::string fallback) {
    const nlohmann::json* value = Find(object, key);
    return value != nullptr && value->is_string() ? value->get<std::string>() : fallback;
}

bool Flag(const nlohmann::json& object, const char* key) {
    const nlohmann::json* value = Find(object, key);
    return value != nullptr && value->is_boolean() && value->get<bool>();
}

// Non-negative whole numbers only; anything else keeps the default.
std::int64_t Number(const nlohmann::json& object, const char* key, std::int64_t fallback) {
    const nlohmann::json* value = Find(object, key);
    if (value == nullptr || !value->is_number_integer() || value->get<std::int64_t>() < 0) {
        return fallback;
    }
    return value->get<std::int64_t>();
}

constexpr std::int64_t MICROS_PER_MS = 1000;
// Bounds that keep a mistyped number from stalling the simulation for days.
constexpr std::int64_t MAX_DELAY_MS = 3'600'000;
constexpr std::int64_t MAX_COUNT = 1'000'000;

std::int64_t Millis(const nlohmann::json& object, const char* key, std::int64_t fallbackMicros) {
    std::int64_t ms = Number(object, key, fallbackMicros / MICROS_PER_MS);
    return (ms > MAX_DELAY_MS ? MAX_DELAY_MS : ms) * MICROS_PER_MS;
}

int Count(const nlohmann::json& object, const char* key, int fallback) {
    std::int64_t count = Number(object, key, fallback);
    return static_cast<int>(count > MAX_COUNT ? MAX_COUNT : count);
}

RecordFault ReadRecordFault(const nlohmann::json& object) {
    std::string name = Text(object, "record_fault", "");
    for (const RecordFaultName& entry : RECORD_FAULT_NAMES) {
        if (name == entry.name) {
            return entry.fault;
        }
    }
    return RecordFault::NONE;
}

UnplugPoint ReadUnplugPoint(const nlohmann::json& object) {
    std::string name = Text(object, "unplug_at", "");
    for (const UnplugPointName& entry : UNPLUG_POINT_NAMES) {
        if (name == entry.name) {
            return entry.point;
        }
    }
    return UnplugPoint::NONE;
}

}  // namespace

TargetSettings ReadTargetSettings(const nlohmann::json& targetObject) {
    TargetSettings settings;
    const nlohmann::json& t = targetObject;
    settings.model = Text(t, "model", settings.model);
    settings.bootloader = Text(t, "bootloader", settings.bootloader);
    settings.firmware = Text(t, "firmware", settings.firmware);
    settings.reportedModel = Text(t, "wrong_model", "");
    if (settings.reportedModel.empty()) {
        settings.reportedModel = settings.model;
    }
    settings.blockSize = Count(t, "block_size", settings.blockSize);
    settings.blockReplyNext = Text(t, "block_reply", "ok") == "next";
    settings.replyMicros = Millis(t, "reply_ms", settings.replyMicros);
    settings.eraseMicros = Millis(t, "erase_ms", settings.eraseMicros);
    settings.splitGapMicros = Millis(t, "split_gap_ms", settings.splitGapMicros);
    settings.leadingZeros = Count(t, "leading_zeros", settings.leadingZeros);
    settings.silent = Flag(t, "silent");
    settings.noSyncReply = Flag(t, "no_sync_reply");
    settings.lateSyncReply = Flag(t, "late_sync_reply");
    settings.eraseNeverConfirmed = Flag(t, "erase_never_confirmed");
    settings.splitReplies = Flag(t, "split_replies");
    settings.endNeverConfirmed = Flag(t, "end_never_confirmed");
    settings.recordFault = ReadRecordFault(t);
    settings.recordFaultAt = Count(t, "record_fault_at", settings.recordFaultAt);
    settings.unplugAt = ReadUnplugPoint(t);
    return settings;
}
