// The GPIO attention patterns of the generic targets: latch settings, each followed by a wait.
// The information query reads once between its two halves.
#pragma once

#include <cstdint>
#include <span>

#include "quillon/link/LatchSetting.h"

class CBridgePort;

struct LatchStep {
    LatchSetting setting;
    std::uint32_t waitMs;
};

// Information query: the target reports once GPIO2 falls with select pattern 2.
inline constexpr LatchStep INFO_QUERY_BEFORE_READ[] = {
    {LATCH_GPIO2_HIGH, 50}, {LATCH_SELECT_2, 25}, {LATCH_GPIO2_LOW, 100}};
inline constexpr LatchStep INFO_QUERY_AFTER_READ[] = {{LATCH_GPIO2_HIGH, 25}, {LATCH_SELECT_3, 25}};
// Sync preamble: select pattern 1 with GPIO2 low puts the target in its listening state, where
// it stays for the rest of the session.
inline constexpr LatchStep SYNC_PREAMBLE[] = {
    {LATCH_GPIO2_HIGH, 25}, {LATCH_SELECT_1, 25}, {LATCH_GPIO2_LOW, 100}};
// Idle, at the end of a session.
inline constexpr LatchStep IDLE_PATTERN[] = {{LATCH_GPIO2_HIGH, 25}, {LATCH_SELECT_3, 25}};

// Writes each setting and waits after it through the clock. Latch write results are not
// judged: a lost dongle shows up as missing replies.
void DrivePattern(CBridgePort& port, std::span<const LatchStep> pattern);
