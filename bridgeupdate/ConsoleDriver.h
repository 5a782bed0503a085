// Bramlet Update's console dialogue: prompt, wait, read and check the parameters file, reprogram
// the chip, leave the outcome on screen and end. One start makes exactly one attempt.
#pragma once

#include <istream>
#include <ostream>
#include <string>

#include "platform/bridgeconfig/BridgeConfigLibrary.h"

// Pauses of the dialogue, waited through the process-wide clock.
constexpr unsigned CONNECT_WAIT_MS = 10000;
constexpr unsigned OUTCOME_WAIT_MS = 3000;

// Runs the dialogue once, reading the parameters file at parametersPath. Every text is flushed
// before each wait and before the read, so the user sees it before the program pauses. Returns
// the process exit status, which is 0 on every path.
int RunBramletUpdate(std::istream& in, std::ostream& out, IBridgeConfigLibrary& library,
                     const std::string& parametersPath);
