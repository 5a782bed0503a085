// A recording fake of the configuration library's USB transport: chips that answer the standard
// descriptor reads and the CP210x read requests from their fields, record every transfer, and
// fail, come up short or vanish on demand.
#pragma once

#include <cstdint>
#include <memory>
#include <optional>
#include <string>
#include <vector>

#include "platform/bridgeconfig/libusb/UsbConfigTransport.h"

struct FakeTransfer {
    UsbSetup setup;
    std::size_t length = 0;
    std::vector<std::uint8_t> sent;  // the data of a host-to-device transfer
};

struct FakeChip {
    std::string location = "1-1";
    std::uint16_t vid = 0x10C4;
    std::uint16_t pid = 0xEA60;
    std::uint16_t version = 0x0100;
    std::uint8_t maxPower = 50;
    std::optional<std::u16string> product = u"Bramlet";
    std::optional<std::u16string> serial = u"0020001234";
    std::uint8_t partNumber = 0x04;
    std::vector<std::uint8_t> portConfig = std::vector<std::uint8_t>(13, 0);

    bool plugged = true;
    int failWith = USB_RESULT_OK;  // every transfer fails with this
    std::size_t shortBy = 0;       // every transfer moves this many bytes fewer than it should
    int resetResult = USB_RESULT_OK;

    std::vector<FakeTransfer> transfers{};
    int resets = 0;
};

class CFakeUsbBus final : public IUsbConfigTransport {
public:
    std::shared_ptr<FakeChip> Plug(FakeChip chip = {});

    int ListBridges(std::vector<UsbBridgeEntry>* bridges) override;
    int Open(const std::string& location, std::unique_ptr<IUsbConfigDevice>* device) override;

    int listResult = USB_RESULT_OK;
    int openResult = USB_RESULT_OK;
    std::vector<std::string> opened;  // locations, in the order they were opened

private:
    std::vector<std::shared_ptr<FakeChip>> chips;
};
