// The fixed sequence of configuration calls, and its report.
#include "bridgeupdate/ReprogramBridge.h"

#include <array>
#include <cstdint>
#include <string>

#include "bridgeupdate/AnsiText.h"
#include "bridgeupdate/Conversions.h"
#include "platform/clock/Clock.h"

namespace {

constexpr const char* DEVICE_NOT_FOUND_TEXT = "Device not found.\n";
constexpr const char* SUCCESS_TEXT =
    "\tUpdate to version 2 successfull :>\n\tPlease reconnect the Bramlet to PC\n";
constexpr const char* FAILURE_TEXT = "\tUpdate to version 2 unsuccessfull :<\n";

// Texts go to the library as plain bytes.
constexpr bool ASCII_TEXT = true;

// Counts the calls whose status decides the outcome. Any status but 0 is a failure: a sum of raw
// codes would let failures with small codes pass as success.
class CFailureCount {
public:
    void Add(int status) {
        if (status != CONFIG_SUCCESS) {
            ++failed;
        }
    }
    bool AnyFailed() const { return failed != 0; }

private:
    int failed = 0;
};

// The chip keeps a text's length in one byte; the reader never yields longer values.
std::uint8_t TextLength(const std::string& text) {
    return static_cast<std::uint8_t>(text.size());
}

}  // namespace

bool ReprogramBridge(const DeviceParameters& parameters, IBridgeConfigLibrary& library,
                     std::ostream& out) {
    BridgeConfigHandle handle = INVALID_CONFIG_HANDLE;
    std::uint32_t numDevices = 0;
    if (library.GetNumDevices(&numDevices) != CONFIG_SUCCESS || numDevices == 0) {
        out << DEVICE_NOT_FOUND_TEXT << std::flush;
        return false;
    }
    // The last device the library lists is the one programmed.
    const std::uint32_t deviceIndex = numDevices - 1;
    CFailureCount failures;
    failures.Add(library.Open(deviceIndex, &handle));

    // Read back the current configuration; the values are not used.
    std::uint16_t vid = 0;
    std::uint16_t pid = 0;
    std::array<char, CONFIG_SERIAL_NUMBER_SIZE> serial{};
    std::uint8_t serialLength = 0;
    std::uint8_t power = 0;
    std::uint16_t version = 0;
    std::array<char, CONFIG_PRODUCT_STRING_SIZE> product{};
    failures.Add(library.GetDeviceVid(handle, &vid));
    failures.Add(library.GetDevicePid(handle, &pid));
    failures.Add(library.GetDeviceSerialNumber(handle, serial.data(), &serialLength, ASCII_TEXT));
    failures.Add(library.GetMaxPower(handle, &power));
    failures.Add(library.GetDeviceVersion(handle, &version));
    failures.Add(library.GetProductString(deviceIndex, product.data(), CONFIG_RETURN_DESCRIPTION));

    // Some chips do not support the power setting, so its status does not decide the outcome.
    library.SetMaxPower(handle, BusPowerValue(ToAnsi(parameters[PARAM_BUS_POWER])));
    failures.Add(library.SetDeviceVersion(
        handle, DeviceVersionValue(ToAnsi(parameters[PARAM_DEVICE_VERSION]))));
    const std::string productString = ToAnsi(parameters[PARAM_PRODUCT_STRING]);
    failures.Add(library.SetProductString(handle, productString.c_str(), TextLength(productString),
                                          ASCII_TEXT));
    failures.Add(library.SetPortConfig(handle, &FIXED_PORT_CONFIG));
    failures.Add(library.SetVid(handle, UsbIdValue(ToAnsi(parameters[PARAM_VID]))));
    failures.Add(library.SetPid(handle, UsbIdValue(ToAnsi(parameters[PARAM_PID]))));
    const std::string serialNumber = ToAnsi(parameters[PARAM_SERIAL_NUMBER]);
    failures.Add(library.SetSerialNumber(handle, serialNumber.c_str(), TextLength(serialNumber),
                                         ASCII_TEXT));

    SleepMs(SETTLE_BEFORE_RESET_MS);
    failures.Add(library.Reset(handle));
    failures.Add(library.Close(handle));

    out << (failures.AnyFailed() ? FAILURE_TEXT : SUCCESS_TEXT) << std::flush;
    return true;
}
