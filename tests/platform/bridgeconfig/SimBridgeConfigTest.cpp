// The simulated configuration library over a state file: the device list, values stored until
// the reset writes them, fault switches, unplugging while open, and the start-up choice.
#include <gtest/gtest.h>

#include <array>
#include <cstdlib>
#include <fstream>
#include <ostream>
#include <sstream>
#include <string>

#include "platform/bridgeconfig/BridgeConfigFactory.h"
#include "platform/bridgeconfig/SimBridgeConfig.h"
#include "tests/support/TempDir.h"

namespace {

using Json = nlohmann::json;

const Json DONGLES = Json::parse(R"({"dongles": [
    {"serial": "0010000001", "product": "First"},
    {"serial": "0010000002", "attached": false},
    {"serial": "0010000003", "product": "Third", "vid": 4292, "pid": 60000, "power": 50,
     "version": 256, "port_config": "00000000000000", "serial_readable": false,
     "target": {"model": "KM7-HS21", "firmware": "1.2"}}
]})");

class SimBridgeConfigTest : public testing::Test {
protected:
    void SetUp() override { Save(DONGLES); }

    void Save(const Json& document) const { std::ofstream(path) << document.dump(2); }
    Json Load() const {
        std::ifstream in(path);
        return Json::parse(in);
    }
    BridgeConfigHandle OpenLast(CSimBridgeConfig& library) const {
        BridgeConfigHandle handle = INVALID_CONFIG_HANDLE;
        EXPECT_EQ(library.Open(1, &handle), CONFIG_SUCCESS);
        return handle;
    }
    // Stores a whole new configuration in the open chip.
    static void StoreNewValues(CSimBridgeConfig& library, BridgeConfigHandle handle) {
        EXPECT_EQ(library.SetVid(handle, 0x1234), CONFIG_SUCCESS);
        EXPECT_EQ(library.SetPid(handle, 0xABCD), CONFIG_SUCCESS);
        EXPECT_EQ(library.SetProductString(handle, "Bramlet2", 8, true), CONFIG_SUCCESS);
        EXPECT_EQ(library.SetSerialNumber(handle, "0020000042", 10, true), CONFIG_SUCCESS);
        EXPECT_EQ(library.SetMaxPower(handle, 44), CONFIG_SUCCESS);
        EXPECT_EQ(library.SetDeviceVersion(handle, 0x010A), CONFIG_SUCCESS);
        const BridgePortConfig port{0xCE54, 0xCBFF, 0xCE54, 0x00};
        EXPECT_EQ(library.SetPortConfig(handle, &port), CONFIG_SUCCESS);
    }

    CTempDir dir;
    std::string path = (dir.Path() / "state.json").string();
};

TEST_F(SimBridgeConfigTest, ListsAttachedDonglesInFileOrder) {
    CSimBridgeConfig library(path);
    std::uint32_t count = 0;
    ASSERT_EQ(library.GetNumDevices(&count), CONFIG_SUCCESS);
    EXPECT_EQ(count, 2u);
    char text[CONFIG_PRODUCT_STRING_SIZE] = {};
    ASSERT_EQ(library.GetProductString(1, text, CONFIG_RETURN_SERIAL_NUMBER), CONFIG_SUCCESS);
    EXPECT_STREQ(text, "0010000003");
    ASSERT_EQ(library.GetProductString(1, text, CONFIG_RETURN_DESCRIPTION), CONFIG_SUCCESS);
    EXPECT_STREQ(text, "Third");
    EXPECT_EQ(library.GetProductString(2, text, CONFIG_RETURN_DESCRIPTION),
              CONFIG_DEVICE_NOT_FOUND);
    BridgeConfigHandle handle = INVALID_CONFIG_HANDLE;
    EXPECT_EQ(library.Open(2, &handle), CONFIG_DEVICE_NOT_FOUND);
    EXPECT_EQ(handle, INVALID_CONFIG_HANDLE);
}

TEST_F(SimBridgeConfigTest, ResetWritesStoredValuesIntoTheDonglesEntry) {
    CSimBridgeConfig library(path);
    const BridgeConfigHandle handle = OpenLast(library);
    StoreNewValues(library, handle);

    // Until the reset the chip still shows its old configuration, on the bus and in the file.
    std::uint16_t vid = 0;
    ASSERT_EQ(library.GetDeviceVid(handle, &vid), CONFIG_SUCCESS);
    EXPECT_EQ(vid, 0x10C4);
    EXPECT_EQ(Load(), DONGLES);

    ASSERT_EQ(library.Reset(handle), CONFIG_SUCCESS);
    ASSERT_EQ(library.Close(handle), CONFIG_SUCCESS);
    Json expected = DONGLES;
    Json& entry = expected["dongles"][2];
    entry["vid"] = 0x1234;
    entry["pid"] = 0xABCD;
    entry["product"] = "Bramlet2";
    entry["serial"] = "0020000042";
    entry["power"] = 44;
    entry["version"] = 0x010A;
    entry["port_config"] = "54CEFFCB54CE00";
    entry["attached"] = true;
    EXPECT_EQ(Load(), expected);
}

TEST_F(SimBridgeConfigTest, CloseWithoutResetLeavesTheFileAlone) {
    CSimBridgeConfig library(path);
    const BridgeConfigHandle handle = OpenLast(library);
    StoreNewValues(library, handle);
    EXPECT_EQ(library.Close(handle), CONFIG_SUCCESS);
    EXPECT_EQ(library.Close(handle), CONFIG_INVALID_HANDLE);
    EXPECT_EQ(Load(), DONGLES);
}

TEST_F(SimBridgeConfigTest, DongleChangedWhileOpenFailsAndIsNotOverwritten) {
    CSimBridgeConfig library(path);
    const BridgeConfigHandle handle = OpenLast(library);
    StoreNewValues(library, handle);
    Json swapped = DONGLES;
    swapped["dongles"][2]["serial"] = "0019999999";
    Save(swapped);
    EXPECT_EQ(library.SetVid(handle, 0x1111), CONFIG_DEVICE_IO_FAILED);
    EXPECT_EQ(library.Reset(handle), CONFIG_DEVICE_IO_FAILED);
    EXPECT_EQ(Load(), swapped);
}

TEST_F(SimBridgeConfigTest, TextsBeyondTheChipsLimitsAreRefused) {
    CSimBridgeConfig library(path);
    const BridgeConfigHandle handle = OpenLast(library);
    const std::string longText(127, 'A');
    EXPECT_EQ(library.SetSerialNumber(handle, longText.c_str(), 64, true),
              CONFIG_INVALID_PARAMETER);
    EXPECT_EQ(library.SetProductString(handle, longText.c_str(), 127, true),
              CONFIG_INVALID_PARAMETER);
    EXPECT_EQ(library.SetSerialNumber(handle, longText.c_str(), 63, true), CONFIG_SUCCESS);
    EXPECT_EQ(library.SetProductString(handle, longText.c_str(), 126, true), CONFIG_SUCCESS);
}

struct FaultCase {
    const char* operation;
    int status;
    // Statuses of count, open, set serial number and reset, in that order.
    std::array<int, 4> statuses;
    const char* serialAfter;
};

// Test names show the case, not its bytes.
void PrintTo(const FaultCase& c, std::ostream* os) {
    *os << c.operation;
}

const FaultCase FAULT_CASES[] = {
    {"GetNumDevices", CONFIG_DEVICE_NOT_FOUND, {CONFIG_DEVICE_NOT_FOUND, 0, 0, 0}, "0020000042"},
    // Later calls get the handle as the failed open left it.
    {"Open", CONFIG_DEVICE_IO_FAILED, {0, CONFIG_DEVICE_IO_FAILED, 1, 1}, "0010000003"},
    {"SetSerialNumber",
     CONFIG_INVALID_PARAMETER,
     {0, 0, CONFIG_INVALID_PARAMETER, 0},
     "0010000003"},
    {"Reset", CONFIG_COMMAND_FAILED, {0, 0, 0, CONFIG_COMMAND_FAILED}, "0010000003"},
};

class SimBridgeConfigFaultTest : public SimBridgeConfigTest,
                                 public testing::WithParamInterface<FaultCase> {};

// The switched operation returns its status and has no effect; the others work as before.
TEST_P(SimBridgeConfigFaultTest, SwitchedOperationFailsWithItsStatus) {
    const FaultCase& c = GetParam();
    Json document = DONGLES;
    document[SIM_KEY_CONFIG_FAULTS][c.operation] = c.status;
    Save(document);
    CSimBridgeConfig library(path);

    std::uint32_t count = 0;
    BridgeConfigHandle handle = INVALID_CONFIG_HANDLE;
    std::array<int, 4> statuses{};
    statuses[0] = library.GetNumDevices(&count);
    statuses[1] = library.Open(1, &handle);
    statuses[2] = library.SetSerialNumber(handle, "0020000042", 10, true);
    statuses[3] = library.Reset(handle);
    EXPECT_EQ(statuses, c.statuses);
    EXPECT_EQ(Load()["dongles"][2]["serial"], c.serialAfter);
}

INSTANTIATE_TEST_SUITE_P(Switches, SimBridgeConfigFaultTest, testing::ValuesIn(FAULT_CASES),
                         [](const auto& info) { return std::string(info.param.operation); });

TEST_F(SimBridgeConfigTest, FactoryUsesTheSimulatorNamedByTheEnvironment) {
    setenv(SIMULATOR_ENV, path.c_str(), 1);
    const auto simulated = CreateBridgeConfigLibrary();
    unsetenv(SIMULATOR_ENV);
    const auto real = CreateBridgeConfigLibrary();
    std::uint32_t count = 99;
    ASSERT_EQ(simulated->GetNumDevices(&count), CONFIG_SUCCESS);
    EXPECT_EQ(count, 2u);
    // Without the variable the real chips are asked, whatever is plugged into this machine.
    EXPECT_EQ(dynamic_cast<CSimBridgeConfig*>(real.get()), nullptr);
}

}  // namespace
