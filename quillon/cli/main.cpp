// quillon-cli: Quillon's main window and updater dialog, driven from a terminal.
#include <unistd.h>

#include <iostream>

#include "platform/ui/headless/HeadlessBackend.h"
#include "platform/usblink/UsbBridgeFactory.h"
#include "quillon/cli/CliOptions.h"
#include "quillon/cli/CliSession.h"

int main(int argc, char** argv) {
    CliOptions options;
    const int parsed = ParseCliOptions(argc, argv, options, std::cout, std::cerr);
    if (parsed >= 0) {
        return parsed;
    }
    const auto library = CreateUsbBridgeLibrary();
    InstallUsbBridge(library.get());
    CHeadlessBackend backend;
    const int code = RunCli(options, backend, std::cout, std::cerr, isatty(STDOUT_FILENO) != 0);
    InstallUsbBridge(nullptr);
    return code;
}
