// One quillon-cli run: Quillon's main window and the updater played through the headless
// backend by a script that does what a technician would do, printed as it happens.
#pragma once

#include <iosfwd>

#include "quillon/cli/CliOptions.h"

class CHeadlessBackend;

// Runs the command on the process's clock, USB library and the given headless backend (which
// the run installs for its duration). Returns the exit code.
int RunCli(const CliOptions& options, CHeadlessBackend& backend, std::ostream& out,
           std::ostream& err, bool terminal);
