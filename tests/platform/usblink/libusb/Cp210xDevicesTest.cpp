// Which attached devices count as bridges, in which order, and their texts.
#include <gtest/gtest.h>

#include "platform/usblink/libusb/Cp210xDevices.h"
#include "tests/platform/usblink/libusb/FakeUsbTransport.h"

namespace {

UsbDeviceInfo Device(std::uint16_t vid, std::uint16_t pid, std::vector<UsbInterfaceInfo> interfaces,
                     std::uint8_t deviceClass = 0) {
    UsbDeviceInfo device = CFakeUsbTransport::Cp2104();
    device.vid = vid;
    device.pid = pid;
    device.deviceClass = deviceClass;
    device.interfaces = std::move(interfaces);
    return device;
}

constexpr std::uint8_t BULK = 2;
constexpr std::uint8_t INTERRUPT = 3;
const UsbInterfaceInfo UART0{0, 0xFF, 0, 0, {{0x81, BULK, 64}, {0x01, BULK, 64}}};

struct FilterCase {
    const char* name;
    UsbDeviceInfo device;
    bool counted;
    std::uint8_t interfaceNumber;
    std::uint8_t in;
    std::uint8_t out;
};

const FilterCase FILTER_CASES[] = {
    {"silabs default", Device(0x10C4, 0xEA60, {UART0}), true, 0, 0x81, 0x01},
    {"customised ids, single-UART descriptors", Device(0x1234, 0x0001, {UART0}), true, 0, 0x81,
     0x01},
    {"silabs dual UART takes its first UART",
     Device(0x10C4, 0xEA70,
            {{0, 0xFF, 0, 0, {{0x01, BULK, 64}, {0x82, BULK, 64}}},
             {1, 0xFF, 0, 0, {{0x83, BULK, 64}, {0x03, BULK, 64}}}}),
     true, 0, 0x82, 0x01},
    {"silabs id, interface not vendor class",
     Device(0x10C4, 0xEA61, {{0, 0x03, 0, 0, {{0x81, INTERRUPT, 64}}}}), false, 0, 0, 0},
    {"other chip with OUT endpoint 0x02",
     Device(0x0403, 0x6001, {{0, 0xFF, 0xFF, 0xFF, {{0x81, BULK, 64}, {0x02, BULK, 64}}}}), false,
     0, 0, 0},
    {"other chip with an interrupt endpoint",
     Device(0x1A86, 0x7523,
            {{0, 0xFF, 1, 2, {{0x82, BULK, 32}, {0x02, BULK, 32}, {0x81, INTERRUPT, 8}}}}),
     false, 0, 0, 0},
    {"customised ids, interrupt instead of bulk",
     Device(0x1234, 0x0001, {{0, 0xFF, 0, 0, {{0x81, INTERRUPT, 64}, {0x01, BULK, 64}}}}), false, 0,
     0, 0},
    {"customised ids, two interfaces", Device(0x1234, 0x0001, {UART0, UART0}), false, 0, 0, 0},
    {"customised ids, vendor device class", Device(0x1234, 0x0001, {UART0}, 0xFF), false, 0, 0, 0},
    {"customised ids, 512-byte packets",
     Device(0x1234, 0x0001, {{0, 0xFF, 0, 0, {{0x81, BULK, 512}, {0x01, BULK, 512}}}}), false, 0, 0,
     0},
    {"no configuration", Device(0x10C4, 0xEA60, {}), false, 0, 0, 0},
};

TEST(Cp210xDevices, CountsBridgesByIdentityOrBySingleUartDescriptors) {
    for (const FilterCase& c : FILTER_CASES) {
        SCOPED_TRACE(c.name);
        const std::vector<Cp210xDevice> found = FindCp210xDevices({c.device});
        ASSERT_EQ(found.size(), c.counted ? 1u : 0u);
        if (c.counted) {
            EXPECT_EQ(found[0].interfaceNumber, c.interfaceNumber);
            EXPECT_EQ(found[0].inEndpoint, c.in);
            EXPECT_EQ(found[0].outEndpoint, c.out);
        }
    }
}

TEST(Cp210xDevices, OrdersByBusThenPortPathWhateverTheListOrder) {
    const std::pair<std::uint8_t, std::vector<std::uint8_t>> places[] = {
        {2, {1}}, {1, {3}}, {1, {1, 2}}, {1, {1}}};
    std::vector<UsbDeviceInfo> attached;
    for (const auto& [bus, ports] : places) {
        UsbDeviceInfo device = CFakeUsbTransport::Cp2104();
        device.bus = bus;
        device.ports = ports;
        attached.push_back(device);
    }
    std::vector<std::string> names;
    for (const Cp210xDevice& found : FindCp210xDevices(attached)) {
        names.push_back(LinkName(found.usb));
    }
    EXPECT_EQ(names, (std::vector<std::string>{"usb:1-1", "usb:1-1.2", "usb:1-3", "usb:2-1"}));
}

TEST(Cp210xDevices, NarrowsDescriptorTextByteForByte) {
    const std::pair<std::u16string, std::string> cases[] = {
        {u"0021234", "0021234"},
        {u"Caf\u00e9", "Caf\xe9"},
        {u"\u20ac5", "?5"},
        {u"", ""},
    };
    for (const auto& [text, narrow] : cases) {
        EXPECT_EQ(NarrowDescriptor(text), narrow);
    }
}

}  // namespace
