// Command-line parsing for quillon-cli with CLI11.
#include "quillon/cli/CliOptions.h"

#include <CLI/CLI.hpp>
#include <filesystem>
#include <ostream>

#include "platform/text/WideText.h"
#include "quillon/app/ModelTable.h"

namespace {
constexpr const char* DESCRIPTION =
    "quillon-cli runs Quillon's main window and its generic updater dialog from a terminal.\n"
    "It connects the Bramlet dongle, chooses the model, presses Go and, for update, presses\n"
    "Update Firmware and answers the file chooser with FILE. Log lines are printed as the\n"
    "dialog writes them, with a progress bar on a terminal (percent lines otherwise); message\n"
    "boxes go to standard error as \"CAPTION: text\".\n"
    "\n"
    "With BRAMLET_SIMULATOR naming a simulator state file, the simulated Bramlet is used\n"
    "instead of real USB devices (BRAMLET_SIM_TRACE names a trace file).";

constexpr const char* EXIT_CODES =
    "Exit codes:\n"
    "  0  update: \"Update Successful, OK to disconnect\"; info: versions read\n"
    "  1  the update session failed (or the dialog did not open)\n"
    "  2  bad usage\n"
    "  3  the dongle cannot be connected or needs its configuration update\n"
    "  4  the connected target is not the chosen model";

std::string ModelList() {
    std::string list;
    for (int position = FIRST_GENERIC_POSITION; modelTable[position] != nullptr; ++position) {
        list += (list.empty() ? "" : ", ") + ToUtf8(modelTable[position]);
    }
    return list;
}

int BadUsage(std::ostream& err, const std::string& why) {
    err << "quillon-cli: " << why << "\nRun with --help for more information.\n";
    return EXIT_BAD_USAGE;
}
}  // namespace

int ParseCliOptions(int argc, const char* const* argv, CliOptions& options, std::ostream& out,
                    std::ostream& err) {
    CLI::App app(DESCRIPTION, "quillon-cli");
    app.footer(std::string(EXIT_CODES) + "\n\nModels: " + ModelList() + "\n");
    app.require_subcommand(1);
    app.add_option("--device", options.device, "Dongle number, 1 for the first (default 1)")
        ->check(CLI::PositiveNumber);

    std::string model;
    CLI::App* info = app.add_subcommand(
        "info", "Connect, check the target and print serial number and versions");
    info->add_option("--model", model, "Target model, as in Quillon's list")->required();
    CLI::App* update =
        app.add_subcommand("update", "Run a firmware update of the target from FILE (.kmx)");
    update->add_option("--model", model, "Target model, as in Quillon's list")->required();
    update->add_option("FILE", options.file, "The firmware file")->required();

    try {
        app.parse(argc, argv);
    } catch (const CLI::CallForHelp&) {
        out << app.help();
        return 0;
    } catch (const CLI::CallForAllHelp&) {
        out << app.help("", CLI::AppFormatMode::All);
        return 0;
    } catch (const CLI::ParseError& error) {
        return BadUsage(err, error.what());
    }

    options.command = update->parsed() ? CliCommand::Update : CliCommand::Info;
    options.model = FromUtf8(model);
    const int position = FindModel(options.model);
    if (position < FIRST_GENERIC_POSITION || position > LAST_GENERIC_POSITION) {
        return BadUsage(err, "unknown model \"" + model + "\"; one of: " + ModelList());
    }
    if (options.command == CliCommand::Update) {
        std::error_code error;
        const auto path = std::filesystem::absolute(options.file, error);
        if (error || !std::filesystem::is_regular_file(path, error)) {
            return BadUsage(err, "no such file: " + options.file);
        }
        options.file = path.lexically_normal().string();
    }
    return -1;
}
