// The dongle's side of the update path on one simulated dongle: Quillon's link finds a serial
// number that calls for the update, Bramlet Update runs with the sample parameters file, and a
// new connection finds the new serial number, which calls for no update.
#include <gtest/gtest.h>

#include <cstdlib>
#include <filesystem>
#include <sstream>
#include <string>

#include "bridgeupdate/ConsoleDriver.h"
#include "bridgeupdate/DeviceParameters.h"
#include "platform/bridgeconfig/BridgeConfigFactory.h"
#include "platform/clock/Clock.h"
#include "platform/text/WideText.h"
#include "platform/usblink/UsbBridgeFactory.h"
#include "quillon/link/BridgePort.h"
#include "tests/bridgeupdate/TempDir.h"

namespace {

struct Connection {
    int needsUpdate = -1;
    std::string serial;
};

// What a freshly started Quillon sees when it connects to device 1.
Connection Connect() {
    const auto library = CreateUsbBridgeLibrary();
    InstallUsbBridge(library.get());
    Connection seen;
    CBridgePort port;
    char16_t serial[PORT_PRODUCT_STRING_SIZE] = {};
    if (port.Open(1) == PORT_OK && port.GetSerialNumber(serial) == PORT_OK) {
        seen.serial = LowBytes(serial);
        seen.needsUpdate = port.NeedsUpdate(1);
    }
    port.Close();
    InstallUsbBridge(nullptr);
    return seen;
}

class UpdatePathTest : public testing::Test {
protected:
    UpdatePathTest() {
        InstallClock(&clock);
        setenv(SIMULATOR_ENV, stateFile.c_str(), 1);
    }
    ~UpdatePathTest() override {
        unsetenv(SIMULATOR_ENV);
        InstallClock(nullptr);
    }

    CVirtualClock clock;
    CTempDir dir;
    std::string stateFile = dir.Write("state.json", R"({"dongles": [{"serial": "0010000001"}]})");
};

TEST_F(UpdatePathTest, OutdatedDongleIsReprogrammedAndThenConnectsWithoutQuestion) {
    const Connection before = Connect();
    EXPECT_EQ(before.serial, "0010000001");
    EXPECT_EQ(before.needsUpdate, 1);

    std::filesystem::copy_file(SAMPLE_PARAMETERS_PATH, dir.Path() / DEVICE_PARAMETERS_FILE);
    const auto library = CreateBridgeConfigLibrary();
    std::istringstream in;
    std::ostringstream out;
    RunBramletUpdate(in, out, *library, (dir.Path() / DEVICE_PARAMETERS_FILE).string());
    EXPECT_NE(out.str().find("\tUpdate to version 2 successfull :>\n"), std::string::npos);

    const Connection after = Connect();
    EXPECT_EQ(after.serial, "0020000100");
    EXPECT_EQ(after.needsUpdate, 0);
}

}  // namespace
