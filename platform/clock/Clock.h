// The one source of time: every wait of the system and every timer due time goes through it.
// A real clock for the programs and a virtual one that tests advance instantly.
#pragma once

#include <cstdint>
#include <memory>

// Contract: Now is monotonic in microseconds from an arbitrary origin. Sleep blocks the calling
// thread for at least the given time (the virtual clock only moves its time forward). Not
// thread-safe: the system calls it from its single user-interface thread.
class IClock {
public:
    virtual ~IClock() = default;
    virtual std::int64_t NowMicros() const = 0;
    virtual void Sleep(std::uint32_t milliseconds) = 0;
    // Waits until the clock reads at least the given time; used by event loops between events.
    virtual void SleepUntil(std::int64_t micros) = 0;

    std::int64_t NowMillis() const { return NowMicros() / 1000; }
};

class CRealClock final : public IClock {
public:
    std::int64_t NowMicros() const override;
    void Sleep(std::uint32_t milliseconds) override;
    void SleepUntil(std::int64_t micros) override;
};

class CVirtualClock final : public IClock {
public:
    explicit CVirtualClock(std::int64_t startMicros = 0) : now(startMicros) {}
    std::int64_t NowMicros() const override { return now; }
    void Sleep(std::uint32_t milliseconds) override { now += std::int64_t{milliseconds} * 1000; }
    void SleepUntil(std::int64_t micros) override;
    void Advance(std::int64_t micros) { now += micros; }

private:
    std::int64_t now;
};

// The process-wide clock, chosen once at start-up. Until a clock is installed it is a real one.
IClock& TheClock();
// Installs the clock the process uses from now on; the caller keeps it alive. nullptr restores
// the real clock.
void InstallClock(IClock* clock);

// Waits through the process-wide clock: the system's plain Sleep.
inline void SleepMs(std::uint32_t milliseconds) {
    TheClock().Sleep(milliseconds);
}
