// The command line of quillon-cli: which dongle, which command, which model and file.
#pragma once

#include <iosfwd>
#include <string>

// Exit codes of quillon-cli.
constexpr int EXIT_UPDATED = 0;
constexpr int EXIT_SESSION_FAILED = 1;
constexpr int EXIT_BAD_USAGE = 2;
constexpr int EXIT_NO_DONGLE = 3;
constexpr int EXIT_TARGET_MISMATCH = 4;

enum class CliCommand { Info, Update };

struct CliOptions {
    int device = 1;
    CliCommand command = CliCommand::Info;
    std::u16string model;
    std::string file;  // absolute path of the firmware file (update only)
};

// Parses the command line. Returns -1 when the program should run with options; otherwise the
// exit code (0 after --help, EXIT_BAD_USAGE with the reason on err).
int ParseCliOptions(int argc, const char* const* argv, CliOptions& options, std::ostream& out,
                    std::ostream& err);
