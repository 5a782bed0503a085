// The CP210x configuration library against the recording fake transport: the bytes each operation
// sends, the values read back, the refusals, and every failure of the bus mapped to a status.
#include <gtest/gtest.h>

#include <algorithm>
#include <array>
#include <functional>
#include <memory>
#include <string>
#include <vector>

#include "platform/bridgeconfig/libusb/Cp210xBridgeConfig.h"
#include "tests/platform/bridgeconfig/libusb/FakeUsbBus.h"

namespace {

using Operation = std::function<int(IBridgeConfigLibrary&, BridgeConfigHandle)>;

struct NamedOperation {
    const char* name;
    Operation operation;
};

bool operator==(const UsbSetup& a, const UsbSetup& b) {
    return a.requestType == b.requestType && a.request == b.request && a.value == b.value &&
           a.index == b.index;
}

// The port configuration the update writes: the bytes 54 CE FF CB 54 CE 00.
constexpr BridgePortConfig FIXED = {0xCE54, 0xCBFF, 0xCE54, 0x00};
// The chip's 13-byte block holding it: mode, reset latch and suspend latch words at 0, 4 and 10,
// the enhanced-function byte at 12.
const std::vector<std::uint8_t> FIXED_BLOCK = {0x54, 0xCE, 0, 0,    0xFF, 0xCB, 0,
                                               0,    0,    0, 0x54, 0xCE, 0x00};

int SetText(IBridgeConfigLibrary& library, BridgeConfigHandle handle, bool product,
            const std::string& text, bool isAscii = true) {
    const auto length = static_cast<std::uint8_t>(text.size());
    return product ? library.SetProductString(handle, text.c_str(), length, isAscii)
                   : library.SetSerialNumber(handle, text.c_str(), length, isAscii);
}

// Every operation on an open chip, with arguments that are valid on their own.
const std::vector<NamedOperation> HANDLE_OPERATIONS = {
    {"GetDeviceVid",
     [](IBridgeConfigLibrary& l, BridgeConfigHandle h) {
         std::uint16_t v = 0;
         return l.GetDeviceVid(h, &v);
     }},
    {"GetDevicePid",
     [](IBridgeConfigLibrary& l, BridgeConfigHandle h) {
         std::uint16_t v = 0;
         return l.GetDevicePid(h, &v);
     }},
    {"GetDeviceSerialNumber",
     [](IBridgeConfigLibrary& l, BridgeConfigHandle h) {
         std::array<char, CONFIG_SERIAL_NUMBER_SIZE> buffer{};
         std::uint8_t length = 0;
         return l.GetDeviceSerialNumber(h, buffer.data(), &length, true);
     }},
    {"GetMaxPower",
     [](IBridgeConfigLibrary& l, BridgeConfigHandle h) {
         std::uint8_t v = 0;
         return l.GetMaxPower(h, &v);
     }},
    {"GetDeviceVersion",
     [](IBridgeConfigLibrary& l, BridgeConfigHandle h) {
         std::uint16_t v = 0;
         return l.GetDeviceVersion(h, &v);
     }},
    {"SetMaxPower",
     [](IBridgeConfigLibrary& l, BridgeConfigHandle h) { return l.SetMaxPower(h, 50); }},
    {"SetDeviceVersion",
     [](IBridgeConfigLibrary& l, BridgeConfigHandle h) { return l.SetDeviceVersion(h, 0x0200); }},
    {"SetProductString",
     [](IBridgeConfigLibrary& l, BridgeConfigHandle h) { return SetText(l, h, true, "Bramlet"); }},
    {"SetPortConfig",
     [](IBridgeConfigLibrary& l, BridgeConfigHandle h) { return l.SetPortConfig(h, &FIXED); }},
    {"SetVid", [](IBridgeConfigLibrary& l, BridgeConfigHandle h) { return l.SetVid(h, 0x10C4); }},
    {"SetPid", [](IBridgeConfigLibrary& l, BridgeConfigHandle h) { return l.SetPid(h, 0xEA61); }},
    {"SetSerialNumber", [](IBridgeConfigLibrary& l,
                           BridgeConfigHandle h) { return SetText(l, h, false, "0020000100"); }},
    {"Reset", [](IBridgeConfigLibrary& l, BridgeConfigHandle h) { return l.Reset(h); }},
};

// A fake bus with one chip and the library over it.
struct Rig {
    Rig() : Rig(FakeChip{}) {}
    explicit Rig(FakeChip first) {
        auto owned = std::make_unique<CFakeUsbBus>();
        bus = owned.get();
        chip = bus->Plug(std::move(first));
        library = std::make_unique<CCp210xBridgeConfig>(std::move(owned));
    }
    BridgeConfigHandle Open(std::uint32_t index = 0) {
        BridgeConfigHandle handle = INVALID_CONFIG_HANDLE;
        EXPECT_EQ(library->Open(index, &handle), CONFIG_SUCCESS);
        return handle;
    }

    CFakeUsbBus* bus = nullptr;
    std::shared_ptr<FakeChip> chip;
    std::unique_ptr<CCp210xBridgeConfig> library;
};

// --- Writes: one vendor request each, value in wIndex or a string descriptor as data ---

struct WriteCase {
    const char* name;
    Operation operation;
    UsbSetup setup;
    std::vector<std::uint8_t> data;
};

class WriteRequestTest : public testing::TestWithParam<WriteCase> {};

TEST_P(WriteRequestTest, SendsOneCustomisationRequest) {
    Rig rig;
    const BridgeConfigHandle handle = rig.Open();
    ASSERT_EQ(GetParam().operation(*rig.library, handle), CONFIG_SUCCESS);
    ASSERT_EQ(rig.chip->transfers.size(), 1u);
    const FakeTransfer& sent = rig.chip->transfers[0];
    EXPECT_TRUE(sent.setup == GetParam().setup)
        << std::hex << int(sent.setup.requestType) << " " << int(sent.setup.request) << " "
        << sent.setup.value << " " << sent.setup.index;
    EXPECT_EQ(sent.length, GetParam().data.size());
    EXPECT_EQ(sent.sent, GetParam().data);
}

INSTANTIATE_TEST_SUITE_P(
    Cases, WriteRequestTest,
    testing::Values(
        WriteCase{"Vid",
                  [](IBridgeConfigLibrary& l, BridgeConfigHandle h) { return l.SetVid(h, 0x10C4); },
                  {0x40, 0xFF, 0x3701, 0x10C4},
                  {}},
        WriteCase{"Pid",
                  [](IBridgeConfigLibrary& l, BridgeConfigHandle h) { return l.SetPid(h, 0xEA61); },
                  {0x40, 0xFF, 0x3702, 0xEA61},
                  {}},
        WriteCase{
            "MaxPower",
            [](IBridgeConfigLibrary& l, BridgeConfigHandle h) { return l.SetMaxPower(h, 50); },
            {0x40, 0xFF, 0x3706, 50},
            {}},
        WriteCase{
            "MaxPowerAtTheUsbLimit",
            [](IBridgeConfigLibrary& l, BridgeConfigHandle h) { return l.SetMaxPower(h, 250); },
            {0x40, 0xFF, 0x3706, 250},
            {}},
        WriteCase{"DeviceVersion",
                  [](IBridgeConfigLibrary& l, BridgeConfigHandle h) {
                      return l.SetDeviceVersion(h, 0x010A);
                  },
                  {0x40, 0xFF, 0x3707, 0x010A},
                  {}},
        WriteCase{"ProductString",
                  [](IBridgeConfigLibrary& l, BridgeConfigHandle h) {
                      return SetText(l, h, true, "Bramlet");
                  },
                  {0x40, 0xFF, 0x3703, 0},
                  {16, 3, 'B', 0, 'r', 0, 'a', 0, 'm', 0, 'l', 0, 'e', 0, 't', 0}},
        WriteCase{"ProductStringHighByteIsLatin1",
                  [](IBridgeConfigLibrary& l, BridgeConfigHandle h) {
                      return SetText(l, h, true, "K\xE9");
                  },
                  {0x40, 0xFF, 0x3703, 0},
                  {6, 3, 'K', 0, 0xE9, 0}},
        WriteCase{"SerialNumber",
                  [](IBridgeConfigLibrary& l, BridgeConfigHandle h) {
                      return SetText(l, h, false, "0020000100");
                  },
                  {0x40, 0xFF, 0x3704, 0},
                  {22, 3,   '0', 0,   '0', 0,   '2', 0,   '0', 0,   '0',
                   0,  '0', 0,   '0', 0,   '1', 0,   '0', 0,   '0', 0}},
        WriteCase{
            "EmptySerialNumber",
            [](IBridgeConfigLibrary& l, BridgeConfigHandle h) { return SetText(l, h, false, ""); },
            {0x40, 0xFF, 0x3704, 0},
            {2, 3}}),
    [](const auto& info) { return std::string(info.param.name); });

TEST(TextLimitTest, LongestTextsFillTheDescriptorsExactly) {
    Rig rig;
    const BridgeConfigHandle handle = rig.Open();
    ASSERT_EQ(SetText(*rig.library, handle, true, std::string(126, 'p')), CONFIG_SUCCESS);
    ASSERT_EQ(SetText(*rig.library, handle, false, std::string(63, 's')), CONFIG_SUCCESS);
    ASSERT_EQ(rig.chip->transfers.size(), 2u);
    EXPECT_EQ(rig.chip->transfers[0].sent.size(), 254u);
    EXPECT_EQ(rig.chip->transfers[0].sent[0], 254);
    EXPECT_EQ(rig.chip->transfers[1].sent.size(), 128u);
    EXPECT_EQ(rig.chip->transfers[1].sent[0], 128);
}

// --- Refusals: nothing reaches the chip ---

struct RefusalCase {
    const char* name;
    Operation operation;
    int status;
};

class RefusalTest : public testing::TestWithParam<RefusalCase> {};

TEST_P(RefusalTest, RefusesWithoutTouchingTheChip) {
    Rig rig;
    const BridgeConfigHandle handle = rig.Open();
    EXPECT_EQ(GetParam().operation(*rig.library, handle), GetParam().status);
    EXPECT_TRUE(rig.chip->transfers.empty());
}

INSTANTIATE_TEST_SUITE_P(
    Cases, RefusalTest,
    testing::Values(
        RefusalCase{"VidZero",
                    [](IBridgeConfigLibrary& l, BridgeConfigHandle h) { return l.SetVid(h, 0); },
                    CONFIG_INVALID_PARAMETER},
        RefusalCase{"PidZero",
                    [](IBridgeConfigLibrary& l, BridgeConfigHandle h) { return l.SetPid(h, 0); },
                    CONFIG_INVALID_PARAMETER},
        RefusalCase{
            "PowerAbove500mA",
            [](IBridgeConfigLibrary& l, BridgeConfigHandle h) { return l.SetMaxPower(h, 251); },
            CONFIG_INVALID_PARAMETER},
        RefusalCase{"ProductStringTooLong",
                    [](IBridgeConfigLibrary& l, BridgeConfigHandle h) {
                        return SetText(l, h, true, std::string(127, 'p'));
                    },
                    CONFIG_INVALID_PARAMETER},
        RefusalCase{"SerialNumberTooLong",
                    [](IBridgeConfigLibrary& l, BridgeConfigHandle h) {
                        return SetText(l, h, false, std::string(64, 's'));
                    },
                    CONFIG_INVALID_PARAMETER},
        RefusalCase{"Utf16Text",
                    [](IBridgeConfigLibrary& l, BridgeConfigHandle h) {
                        return SetText(l, h, true, "Br", false);
                    },
                    CONFIG_INVALID_PARAMETER},
        RefusalCase{"MissingText",
                    [](IBridgeConfigLibrary& l, BridgeConfigHandle h) {
                        return l.SetSerialNumber(h, nullptr, 3, true);
                    },
                    CONFIG_INVALID_PARAMETER},
        RefusalCase{"MissingPortConfig",
                    [](IBridgeConfigLibrary& l, BridgeConfigHandle h) {
                        return l.SetPortConfig(h, nullptr);
                    },
                    CONFIG_INVALID_PARAMETER},
        RefusalCase{"InvalidHandle",
                    [](IBridgeConfigLibrary& l, BridgeConfigHandle) {
                        return l.SetVid(INVALID_CONFIG_HANDLE, 0x10C4);
                    },
                    CONFIG_INVALID_HANDLE},
        RefusalCase{"HandleNeverOpened",
                    [](IBridgeConfigLibrary& l, BridgeConfigHandle h) { return l.Reset(h + 1); },
                    CONFIG_INVALID_HANDLE}),
    [](const auto& info) { return std::string(info.param.name); });

// --- Read-backs: standard descriptor reads only, never the vendor IN requests that can corrupt
// the stored VID and PID ---

struct ReadCase {
    const char* name;
    std::function<int(IBridgeConfigLibrary&, BridgeConfigHandle, std::uint32_t*)> read;
    std::uint32_t value;
    UsbSetup setup;
    std::size_t length;
};

class ReadBackTest : public testing::TestWithParam<ReadCase> {};

TEST_P(ReadBackTest, ReadsTheDescriptorTheChipEnumeratedWith) {
    Rig rig(FakeChip{.vid = 0x1234, .pid = 0xABCD, .version = 0x010A, .maxPower = 44});
    const BridgeConfigHandle handle = rig.Open();
    std::uint32_t value = 0;
    ASSERT_EQ(GetParam().read(*rig.library, handle, &value), CONFIG_SUCCESS);
    EXPECT_EQ(value, GetParam().value);
    ASSERT_EQ(rig.chip->transfers.size(), 1u);
    EXPECT_TRUE(rig.chip->transfers[0].setup == GetParam().setup);
    EXPECT_EQ(rig.chip->transfers[0].length, GetParam().length);
}

template <typename T, int (IBridgeConfigLibrary::*Get)(BridgeConfigHandle, T*)>
int ReadValue(IBridgeConfigLibrary& library, BridgeConfigHandle handle, std::uint32_t* value) {
    T read = 0;
    const int status = (library.*Get)(handle, &read);
    *value = read;
    return status;
}

INSTANTIATE_TEST_SUITE_P(
    Cases, ReadBackTest,
    testing::Values(ReadCase{"Vid",
                             ReadValue<std::uint16_t, &IBridgeConfigLibrary::GetDeviceVid>,
                             0x1234,
                             {0x80, 0x06, 0x0100, 0},
                             18},
                    ReadCase{"Pid",
                             ReadValue<std::uint16_t, &IBridgeConfigLibrary::GetDevicePid>,
                             0xABCD,
                             {0x80, 0x06, 0x0100, 0},
                             18},
                    ReadCase{"Version",
                             ReadValue<std::uint16_t, &IBridgeConfigLibrary::GetDeviceVersion>,
                             0x010A,
                             {0x80, 0x06, 0x0100, 0},
                             18},
                    ReadCase{"MaxPower",
                             ReadValue<std::uint8_t, &IBridgeConfigLibrary::GetMaxPower>,
                             44,
                             {0x80, 0x06, 0x0200, 0},
                             9}),
    [](const auto& info) { return std::string(info.param.name); });

struct SerialCase {
    const char* name;
    std::u16string stored;
    std::string read;
};

class SerialReadBackTest : public testing::TestWithParam<SerialCase> {};

TEST_P(SerialReadBackTest, ReadsTheSerialStringAsBytes) {
    Rig rig(FakeChip{.serial = GetParam().stored});
    const BridgeConfigHandle handle = rig.Open();
    std::array<char, CONFIG_SERIAL_NUMBER_SIZE + 1> buffer{};
    buffer.back() = '#';  // must stay: the caller's buffer holds 63 bytes
    std::uint8_t length = 0;
    ASSERT_EQ(rig.library->GetDeviceSerialNumber(handle, buffer.data(), &length, true),
              CONFIG_SUCCESS);
    EXPECT_EQ(std::string(buffer.data(), length), GetParam().read);
    EXPECT_EQ(buffer.back(), '#');
    ASSERT_EQ(rig.chip->transfers.size(), 2u);
    EXPECT_TRUE(rig.chip->transfers[1].setup == (UsbSetup{0x80, 0x06, 0x0303, 0x0409}));
}

INSTANTIATE_TEST_SUITE_P(Cases, SerialReadBackTest,
                         testing::Values(SerialCase{"Plain", u"0020001234", "0020001234"},
                                         SerialCase{"BeyondLatin1", u"00\u00E9\u20AC1", "00\xE9?1"},
                                         SerialCase{"CutToTheBuffer", std::u16string(70, u'7'),
                                                    std::string(63, '7')}),
                         [](const auto& info) { return std::string(info.param.name); });

// --- The device list ---

struct ListCase {
    const char* name;
    std::uint32_t index;
    std::uint32_t kind;
    int status;
    const char* text;
};

class DeviceListTest : public testing::TestWithParam<ListCase> {};

TEST_P(DeviceListTest, ProductStringOfAListedChip) {
    Rig rig(FakeChip{.location = "1-1", .product = u"First", .serial = u"0010000001"});
    rig.bus->Plug(FakeChip{.location = "1-2", .product = u"Second", .serial = u"0010000002"});
    rig.bus->Plug(FakeChip{.location = "2-1", .product = std::nullopt, .serial = std::nullopt});
    std::array<char, CONFIG_PRODUCT_STRING_SIZE> buffer{};
    buffer.fill('#');
    EXPECT_EQ(rig.library->GetProductString(GetParam().index, buffer.data(), GetParam().kind),
              GetParam().status);
    if (GetParam().status == CONFIG_SUCCESS) {
        EXPECT_STREQ(buffer.data(), GetParam().text);
    } else {
        EXPECT_EQ(buffer[0], '#');  // out-parameters are written only on success
    }
}

INSTANTIATE_TEST_SUITE_P(
    Cases, DeviceListTest,
    testing::Values(
        ListCase{"Description", 1, CONFIG_RETURN_DESCRIPTION, CONFIG_SUCCESS, "Second"},
        ListCase{"SerialNumber", 0, CONFIG_RETURN_SERIAL_NUMBER, CONFIG_SUCCESS, "0010000001"},
        ListCase{"FullPath", 1, CONFIG_RETURN_FULL_PATH, CONFIG_SUCCESS, "1-2"},
        ListCase{"StringsUnreadable", 2, CONFIG_RETURN_DESCRIPTION, CONFIG_DEVICE_IO_FAILED,
                 nullptr},
        ListCase{"IndexBeyondList", 3, CONFIG_RETURN_DESCRIPTION, CONFIG_DEVICE_NOT_FOUND, nullptr},
        ListCase{"UnknownKind", 0, 3, CONFIG_INVALID_PARAMETER, nullptr}),
    [](const auto& info) { return std::string(info.param.name); });

TEST(ChipListTest, OpensTheChipAtTheIndexAndTalksOnlyToIt) {
    Rig rig(FakeChip{.location = "1-1"});
    const auto second = rig.bus->Plug(FakeChip{.location = "1-2"});
    std::uint32_t count = 0;
    ASSERT_EQ(rig.library->GetNumDevices(&count), CONFIG_SUCCESS);
    EXPECT_EQ(count, 2u);
    BridgeConfigHandle handle = INVALID_CONFIG_HANDLE;
    EXPECT_EQ(rig.library->Open(2, &handle), CONFIG_DEVICE_NOT_FOUND);
    EXPECT_EQ(handle, INVALID_CONFIG_HANDLE);
    handle = rig.Open(1);
    EXPECT_NE(handle, INVALID_CONFIG_HANDLE);
    EXPECT_EQ(rig.library->SetVid(handle, 0x10C4), CONFIG_SUCCESS);
    EXPECT_EQ(rig.bus->opened, std::vector<std::string>{"1-2"});
    EXPECT_EQ(second->transfers.size(), 1u);
    EXPECT_TRUE(rig.chip->transfers.empty());
    EXPECT_EQ(rig.library->Close(handle), CONFIG_SUCCESS);
    EXPECT_EQ(rig.library->Close(handle), CONFIG_INVALID_HANDLE);
}

struct BusFailureCase {
    const char* name;
    int listResult;
    int openResult;
    int openStatus;
};

class BusFailureTest : public testing::TestWithParam<BusFailureCase> {};

TEST_P(BusFailureTest, OpenFailsAndLeavesTheHandle) {
    Rig rig;
    rig.bus->listResult = GetParam().listResult;
    rig.bus->openResult = GetParam().openResult;
    BridgeConfigHandle handle = INVALID_CONFIG_HANDLE;
    EXPECT_EQ(rig.library->Open(0, &handle), GetParam().openStatus);
    EXPECT_EQ(handle, INVALID_CONFIG_HANDLE);
}

INSTANTIATE_TEST_SUITE_P(Cases, BusFailureTest,
                         testing::Values(BusFailureCase{"ListFails", USB_RESULT_FAILED,
                                                        USB_RESULT_OK, CONFIG_DEVICE_IO_FAILED},
                                         BusFailureCase{"NoPermission", USB_RESULT_OK,
                                                        USB_RESULT_ACCESS_DENIED,
                                                        CONFIG_DEVICE_IO_FAILED},
                                         BusFailureCase{"UnpluggedBeforeOpen", USB_RESULT_OK,
                                                        USB_RESULT_GONE, CONFIG_DEVICE_NOT_FOUND}),
                         [](const auto& info) { return std::string(info.param.name); });

TEST(ChipListTest, CountFailsWhenTheBusCannotBeListed) {
    Rig rig;
    rig.bus->listResult = USB_RESULT_FAILED;
    std::uint32_t count = 7;
    EXPECT_EQ(rig.library->GetNumDevices(&count), CONFIG_DEVICE_IO_FAILED);
    EXPECT_EQ(count, 7u);
}

// --- Every operation on an open chip when the chip or the bus fails ---

struct TransportFailureCase {
    const char* name;
    int result;
    int status;
};

class TransportFailureTest : public testing::TestWithParam<TransportFailureCase> {};

TEST_P(TransportFailureTest, EveryOperationReportsTheFailure) {
    for (const NamedOperation& operation : HANDLE_OPERATIONS) {
        Rig rig;
        const BridgeConfigHandle handle = rig.Open();
        rig.chip->failWith = GetParam().result;
        rig.chip->resetResult = GetParam().result;
        EXPECT_EQ(operation.operation(*rig.library, handle), GetParam().status) << operation.name;
    }
}

INSTANTIATE_TEST_SUITE_P(
    Cases, TransportFailureTest,
    testing::Values(TransportFailureCase{"Stalled", USB_RESULT_STALLED, CONFIG_COMMAND_FAILED},
                    TransportFailureCase{"TimedOut", USB_RESULT_TIMED_OUT, CONFIG_DEVICE_IO_FAILED},
                    TransportFailureCase{"HostFailure", USB_RESULT_FAILED, CONFIG_DEVICE_IO_FAILED},
                    TransportFailureCase{"AccessDenied", USB_RESULT_ACCESS_DENIED,
                                         CONFIG_DEVICE_IO_FAILED},
                    TransportFailureCase{"Gone", USB_RESULT_GONE, CONFIG_DEVICE_IO_FAILED}),
    [](const auto& info) { return std::string(info.param.name); });

TEST(UnplugTest, EveryOperationFailsAndCloseStillReleasesTheHandle) {
    for (const NamedOperation& operation : HANDLE_OPERATIONS) {
        Rig rig;
        const BridgeConfigHandle handle = rig.Open();
        rig.chip->plugged = false;
        EXPECT_EQ(operation.operation(*rig.library, handle), CONFIG_DEVICE_IO_FAILED)
            << operation.name;
        std::uint32_t count = 9;
        EXPECT_EQ(rig.library->GetNumDevices(&count), CONFIG_SUCCESS);
        EXPECT_EQ(count, 0u);
        EXPECT_EQ(rig.library->Close(handle), CONFIG_SUCCESS) << operation.name;
    }
}

TEST(ShortTransferTest, TransfersThatMoveTooFewBytesFail) {
    const std::vector<const char*> withData = {
        "GetDeviceVid",     "GetDevicePid",     "GetDeviceSerialNumber", "GetMaxPower",
        "GetDeviceVersion", "SetProductString", "SetPortConfig",         "SetSerialNumber"};
    for (const NamedOperation& operation : HANDLE_OPERATIONS) {
        if (std::find(withData.begin(), withData.end(), std::string(operation.name)) ==
            withData.end()) {
            continue;
        }
        Rig rig(FakeChip{.portConfig = FIXED_BLOCK});
        const BridgeConfigHandle handle = rig.Open();
        rig.chip->shortBy = 1;
        EXPECT_EQ(operation.operation(*rig.library, handle), CONFIG_DEVICE_IO_FAILED)
            << operation.name;
    }
}

// --- Port configuration: checked, never written ---

struct PortConfigCase {
    const char* name;
    std::uint8_t part;
    std::vector<std::uint8_t> block;
    int status;
};

class PortConfigTest : public testing::TestWithParam<PortConfigCase> {};

TEST_P(PortConfigTest, SucceedsOnlyWhenTheChipAlreadyHoldsIt) {
    Rig rig(FakeChip{.partNumber = GetParam().part, .portConfig = GetParam().block});
    const BridgeConfigHandle handle = rig.Open();
    EXPECT_EQ(rig.library->SetPortConfig(handle, &FIXED), GetParam().status);
    for (const FakeTransfer& transfer : rig.chip->transfers) {
        EXPECT_EQ(transfer.setup.requestType, 0xC0) << "port configuration must not be written";
    }
}

std::vector<std::uint8_t> Changed(std::size_t at, std::uint8_t value) {
    std::vector<std::uint8_t> block = FIXED_BLOCK;
    block[at] = value;
    return block;
}

INSTANTIATE_TEST_SUITE_P(
    Cases, PortConfigTest,
    testing::Values(
        PortConfigCase{"Cp2104Holding", 0x04, FIXED_BLOCK, CONFIG_SUCCESS},
        PortConfigCase{"Cp2103Holding", 0x03, FIXED_BLOCK, CONFIG_SUCCESS},
        PortConfigCase{"OtherMode", 0x04, Changed(1, 0x00), CONFIG_FUNCTION_NOT_SUPPORTED},
        PortConfigCase{"OtherResetLatch", 0x04, Changed(4, 0xCB), CONFIG_FUNCTION_NOT_SUPPORTED},
        PortConfigCase{"OtherSuspendLatch", 0x04, Changed(10, 0x55), CONFIG_FUNCTION_NOT_SUPPORTED},
        PortConfigCase{"OtherEnhancedFunctions", 0x04, Changed(12, 0x01),
                       CONFIG_FUNCTION_NOT_SUPPORTED},
        PortConfigCase{"Cp2102HasNoPortConfig", 0x02, FIXED_BLOCK, CONFIG_FUNCTION_NOT_SUPPORTED},
        PortConfigCase{"Cp2102nLayoutUnknown", 0x20, FIXED_BLOCK, CONFIG_FUNCTION_NOT_SUPPORTED},
        PortConfigCase{"BlockTooShort", 0x04,
                       std::vector<std::uint8_t>(FIXED_BLOCK.begin(), FIXED_BLOCK.end() - 1),
                       CONFIG_DEVICE_IO_FAILED}),
    [](const auto& info) { return std::string(info.param.name); });

// --- Reset ---

struct ResetCase {
    const char* name;
    int result;
    int status;
    int afterwards;  // status of a read on the same handle after the reset
};

class ResetTest : public testing::TestWithParam<ResetCase> {};

TEST_P(ResetTest, ResetsThePortAndKeepsTheHandleForClose) {
    Rig rig;
    const BridgeConfigHandle handle = rig.Open();
    rig.chip->resetResult = GetParam().result;
    EXPECT_EQ(rig.library->Reset(handle), GetParam().status);
    EXPECT_EQ(rig.chip->resets, 1);
    std::uint16_t vid = 0;
    EXPECT_EQ(rig.library->GetDeviceVid(handle, &vid), GetParam().afterwards);
    EXPECT_EQ(rig.library->Close(handle), CONFIG_SUCCESS);
}

INSTANTIATE_TEST_SUITE_P(
    Cases, ResetTest,
    testing::Values(ResetCase{"SameDescriptors", USB_RESULT_OK, CONFIG_SUCCESS, CONFIG_SUCCESS},
                    ResetCase{"CameBackAsNewDevice", USB_RESULT_REENUMERATED, CONFIG_SUCCESS,
                              CONFIG_DEVICE_IO_FAILED},
                    ResetCase{"Refused", USB_RESULT_STALLED, CONFIG_COMMAND_FAILED, CONFIG_SUCCESS},
                    ResetCase{"HostFailure", USB_RESULT_FAILED, CONFIG_DEVICE_IO_FAILED,
                              CONFIG_SUCCESS}),
    [](const auto& info) { return std::string(info.param.name); });

}  // namespace
