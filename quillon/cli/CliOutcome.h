// How a quillon-cli run ended, judged from what the user would have seen.
#pragma once

#include <string>
#include <vector>

#include "quillon/cli/CliOptions.h"

struct CliFacts {
    CliCommand command = CliCommand::Info;
    std::vector<std::u16string> messageBoxes;  // texts, in the order shown
    std::u16string log;                        // the updater's log as last written
    bool updaterOpened = false;                // the updater was up once its start-up was over
    bool limitHit = false;                     // the run was cut off by the time limit
};

int ExitCodeFor(const CliFacts& facts);
