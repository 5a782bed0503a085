// A target that never answers: stands behind a dongle until a target model is configured.
#include "sim/SimTarget.h"

namespace {
class CSilentTarget final : public ISimTarget {
public:
    void OnLatch(std::uint8_t, std::int64_t, ISimTargetOutput&) override {}
    void OnHostByte(char, std::int64_t, ISimTargetOutput&) override {}
    void SaveState(nlohmann::json&) const override {}
};
}  // namespace

std::unique_ptr<ISimTarget> CreateSimTarget(const nlohmann::json&) {
    return std::make_unique<CSilentTarget>();
}
