// Driving the GPIO latch patterns.
#include "quillon/protocol/GpioPatterns.h"

#include "platform/clock/Clock.h"
#include "quillon/link/BridgePort.h"

void DrivePattern(CBridgePort& port, std::span<const LatchStep> pattern) {
    for (const LatchStep& step : pattern) {
        port.WriteLatch(step.setting);
        SleepMs(step.waitMs);
    }
}
