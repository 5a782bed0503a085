// A target that records what reaches it (latch changes, host bytes, with their times) and keeps
// the number of host bytes it has seen in its saved state.
#pragma once

#include <cstdint>
#include <memory>
#include <string>
#include <utility>
#include <vector>

#include "sim/SimTarget.h"

struct TargetLog {
    std::vector<std::pair<std::uint8_t, std::int64_t>> latches;
    std::string bytes;
    std::vector<std::int64_t> byteTimes;
};

class CRecordingTarget final : public ISimTarget {
public:
    explicit CRecordingTarget(std::shared_ptr<TargetLog> log) : log(std::move(log)) {}
    void OnLatch(std::uint8_t latch, std::int64_t now, ISimTargetOutput&) override {
        log->latches.emplace_back(latch, now);
    }
    void OnHostByte(char byte, std::int64_t now, ISimTargetOutput&) override {
        log->bytes += byte;
        log->byteTimes.push_back(now);
    }
    void SaveState(nlohmann::json& targetObject) const override {
        if (!log->bytes.empty()) {
            targetObject["hostBytes"] = log->bytes.size();
        }
    }

private:
    std::shared_ptr<TargetLog> log;
};

// A factory for CSimBramlet whose targets all record into one log.
inline auto RecordingTargets(std::shared_ptr<TargetLog> log) {
    return [log](const nlohmann::json&) -> std::unique_ptr<ISimTarget> {
        return std::make_unique<CRecordingTarget>(log);
    };
}
