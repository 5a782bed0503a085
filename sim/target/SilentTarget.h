// A target that never answers: what stands behind a dongle with no target model configured, or
// with a target switched silent.
#pragma once

#include "sim/SimTarget.h"

class CSilentTarget final : public ISimTarget {
public:
    void OnLatch(std::uint8_t, std::int64_t, ISimTargetOutput&) override {}
    void OnHostByte(char, std::int64_t, ISimTargetOutput&) override {}
    void SaveState(nlohmann::json&) const override {}
};
