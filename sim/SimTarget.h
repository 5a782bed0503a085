// The seam between the simulated dongle's link and the simulated target module behind it.
// The link delivers host bytes and GPIO changes to the target at their simulated times; the
// target answers through ISimTargetOutput, and the link puts the answer on the wire.
#pragma once

#include <cstdint>
#include <memory>
#include <nlohmann/json.hpp>
#include <string>

// What a target may do towards the host. Times are clock microseconds.
class ISimTargetOutput {
public:
    virtual ~ISimTargetOutput() = default;
    // Queues a message (plain text; the link inverts it) whose first byte goes on the wire no
    // earlier than notBefore. Messages go out one after another at the link's baud rate; a
    // message becomes readable by the host when its last byte has arrived.
    virtual void Send(const std::string& text, std::int64_t notBefore) = 0;
    // Queues raw wire bytes as they are, without inversion (leading 0x00 bytes, noise).
    virtual void SendRaw(const std::string& bytes, std::int64_t notBefore) = 0;
    // The dongle disappears from the bus, as if unplugged, at the given time.
    virtual void Unplug(std::int64_t at) = 0;
};

// A target module. Called only by the link, in time order, never from two threads.
class ISimTarget {
public:
    virtual ~ISimTarget() = default;
    // The dongle's GPIO latch changed; latch is the whole latch byte after the change.
    virtual void OnLatch(std::uint8_t latch, std::int64_t now, ISimTargetOutput& output) = 0;
    // One host byte (already complemented back to plain text) has arrived at the target.
    virtual void OnHostByte(char byte, std::int64_t now, ISimTargetOutput& output) = 0;
    // Writes what the target wants to keep across runs (versions after an update) into the
    // dongle's "target" object of the state file.
    virtual void SaveState(nlohmann::json& targetObject) const = 0;
};

// Builds the target described by a dongle's "target" object of the state file (missing keys take
// their documented defaults).
std::unique_ptr<ISimTarget> CreateSimTarget(const nlohmann::json& targetObject);
