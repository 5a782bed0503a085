// Drives a simulated target the way the host does: the GPIO patterns and the wire texts.
#pragma once

#include <cstdint>
#include <string>
#include <vector>

#include "sim/SimTarget.h"
#include "tests/sim/target/RecordingOutput.h"

class CTargetDriver {
public:
    explicit CTargetDriver(ISimTarget& target) : target(target) {}

    // Sets latch bits under mask, as one latch write of the host.
    void Latch(std::uint8_t mask, std::uint8_t value) {
        latch = static_cast<std::uint8_t>((latch & ~mask) | (value & mask));
        target.OnLatch(latch, now, output);
    }
    void PowerOn() { Latch(0x08, 0x00); }
    // GPIO2 high, select 2, GPIO2 low, then back to idle: the target reports only.
    void InformationQuery() {
        Latch(0x04, 0x04);
        Latch(0x03, 0x02);
        Latch(0x04, 0x00);
        Latch(0x04, 0x04);
        Latch(0x03, 0x03);
    }
    // GPIO2 high, select 1, GPIO2 low: the target reports and listens.
    void SyncPreamble() {
        Latch(0x04, 0x04);
        Latch(0x03, 0x01);
        Latch(0x04, 0x00);
    }
    void Write(const std::string& text) {
        for (char c : text) {
            target.OnHostByte(c, now, output);
        }
    }
    // Sync, file information, erase and update start, as a session begins.
    void BeginTransfer() {
        PowerOn();
        SyncPreamble();
        Write("[cmd<sync>]\n");
        Write("[info<file_name>/tmp/f.kmx]\n");
        Write("[info<file_size>1a2]\n");
        Write("[cmd<erase>]\n");
        Write("[cmd<update>start]");
    }
    // Sends each record line as a packet, one at a time.
    void SendRecords(const std::vector<std::string>& records) {
        for (const std::string& record : records) {
            Write("[" + record + "]");
        }
    }

    ISimTarget& target;
    CRecordingOutput output;
    std::uint8_t latch = 0xFF;
    std::int64_t now = 1'000'000;
};
