// Chooses the target model for a dongle's "target" object.
#include <memory>

#include "sim/SimTarget.h"
#include "sim/target/GenericTarget.h"
#include "sim/target/SilentTarget.h"
#include "sim/target/TargetSettings.h"

std::unique_ptr<ISimTarget> CreateSimTarget(const nlohmann::json& targetObject) {
    TargetSettings settings = ReadTargetSettings(targetObject);
    if (settings.model.empty() || settings.silent) {
        return std::make_unique<CSilentTarget>();
    }
    // KQ-VTR answers in its own protocol forms; its own target model is chosen here when it
    // exists. Until then it stands in as a generic target, which the KQ-VTR dialog never reaches.
    return std::make_unique<CGenericTarget>(std::move(settings));
}
