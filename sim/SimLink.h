// The simulated bridge chip of one dongle: its GPIO latch and its UART at 57600 baud 8N1, with
// the target module on the far side. Passive: it moves only when AdvanceTo is called.
#pragma once

#include <cstdint>
#include <deque>
#include <memory>
#include <string>

#include "sim/SimTarget.h"

constexpr std::uint32_t SIM_LINK_BAUD = 57600;
constexpr std::int64_t SIM_BITS_PER_BYTE = 10;  // start bit, 8 data bits, stop bit
// GPIO latch of a freshly plugged chip: every line high, so GPIO3 keeps the target unpowered.
constexpr std::uint8_t SIM_INITIAL_LATCH = 0xFF;

// Microseconds the given number of bytes take on the wire, rounded up.
std::int64_t SimWireMicros(std::int64_t bytes);

// UART settings the host made, recorded so that tests can check them.
struct SimUartSettings {
    std::uint32_t baudRate = 0;
    std::uint16_t lineControl = 0;
    std::uint8_t flowControl[5] = {0, 0, 0, 0, 0};  // CTS, RTS, DTR, DSR, DCD mask codes
    bool flowXonXoff = false;
    bool configured = false;  // any of the above set since the dongle was plugged
};

// Every byte on the wire is the one's complement of the text byte, in both directions: the link
// complements the target's messages, and host bytes reach the target complemented back.
class CSimLink final : public ISimTargetOutput {
public:
    explicit CSimLink(std::unique_ptr<ISimTarget> target);

    // Runs the wire up to now: host bytes reach the target at their arrival times, target
    // messages become readable once their last byte has arrived, a scheduled unplug happens.
    void AdvanceTo(std::int64_t now);
    // Earliest pending event (host byte, message completion, unplug); -1 when nothing is pending.
    std::int64_t NextEventTime() const;
    bool Unplugged() const { return unplugged; }

    std::uint8_t Latch() const { return latch; }
    void WriteLatch(std::uint8_t mask, std::uint8_t value, std::int64_t now);

    // Host bytes as they go on the wire (already complemented by the host).
    void HostWrite(const std::uint8_t* bytes, std::size_t count, std::int64_t now);
    std::size_t RxWaiting() const { return rxQueue.size(); }
    // Moves up to count received wire bytes into buffer; returns how many.
    std::size_t TakeRx(std::uint8_t* buffer, std::size_t count);
    // Host bytes not yet on their way to the target are dropped.
    void FlushTx(std::int64_t now);
    // What is readable is dropped; messages still on the wire arrive later.
    void FlushRx() { rxQueue.clear(); }

    SimUartSettings& Settings() { return settings; }
    ISimTarget& Target() { return *target; }

    void Send(const std::string& text, std::int64_t notBefore) override;
    void SendRaw(const std::string& bytes, std::int64_t notBefore) override;
    void Unplug(std::int64_t at) override;

private:
    struct HostByte {
        std::int64_t arrival;
        std::uint8_t wire;
    };
    struct Message {
        std::int64_t readable;
        std::string wire;
    };

    std::unique_ptr<ISimTarget> target;
    std::uint8_t latch = SIM_INITIAL_LATCH;
    SimUartSettings settings;
    std::deque<HostByte> toTarget;
    std::int64_t txFreeAt = 0;
    std::deque<Message> toHost;
    std::int64_t rxFreeAt = 0;
    std::deque<std::uint8_t> rxQueue;
    std::int64_t unplugAt = -1;
    bool unplugged = false;
};
