// Real and virtual clocks and the process-wide choice between them.
#include "platform/clock/Clock.h"

#include <chrono>
#include <thread>

std::int64_t CRealClock::NowMicros() const {
    using namespace std::chrono;
    return duration_cast<microseconds>(steady_clock::now().time_since_epoch()).count();
}

void CRealClock::Sleep(std::uint32_t milliseconds) {
    std::this_thread::sleep_for(std::chrono::milliseconds(milliseconds));
}

void CRealClock::SleepUntil(std::int64_t micros) {
    const std::int64_t wait = micros - NowMicros();
    if (wait > 0) {
        std::this_thread::sleep_for(std::chrono::microseconds(wait));
    }
}

void CVirtualClock::SleepUntil(std::int64_t micros) {
    if (micros > now) {
        now = micros;
    }
}

namespace {
CRealClock realClock;
IClock* installedClock = &realClock;
}  // namespace

IClock& TheClock() {
    return *installedClock;
}

void InstallClock(IClock* clock) {
    installedClock = clock != nullptr ? clock : &realClock;
}
