// The console dialogue of Bramlet Update.
#include "bridgeupdate/ConsoleDriver.h"

#include "bridgeupdate/DeviceParameters.h"
#include "bridgeupdate/ReprogramBridge.h"
#include "platform/clock/Clock.h"

namespace {

constexpr const char* BANNER_TEXT = "Vellmar\nBramlet firmware update\n\n";
constexpr const char* CONNECT_TEXT = "Connect the Bramlet and press ENTER to start the update...\n";
constexpr const char* WAIT_TEXT = "Please wait...\n";
constexpr const char* OPEN_FAILED_TEXT = "File failed to open.\n\n";
constexpr const char* INVALID_TEXT = "\tInvalid file parameter\n\n";

}  // namespace

int RunBramletUpdate(std::istream& in, std::ostream& out, IBridgeConfigLibrary& library,
                     const std::string& parametersPath) {
    out << BANNER_TEXT << CONNECT_TEXT << std::flush;
    // One character: ENTER, or the first of a typed line whose rest is never looked at. At end of
    // input this returns at once and the dialogue goes on.
    in.get();
    out << WAIT_TEXT << std::flush;
    SleepMs(CONNECT_WAIT_MS);

    DeviceParameters parameters;
    if (!ReadDeviceParameters(parametersPath, parameters)) {
        out << OPEN_FAILED_TEXT << std::flush;
    } else if (!CheckDeviceParameters(parameters)) {
        out << INVALID_TEXT << std::flush;
    } else {
        ReprogramBridge(parameters, library, out);
    }
    SleepMs(OUTCOME_WAIT_MS);
    return 0;
}
