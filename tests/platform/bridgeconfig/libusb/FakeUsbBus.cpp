// The recording fake transport and its chips.
#include "tests/platform/bridgeconfig/libusb/FakeUsbBus.h"

#include <algorithm>

#include "platform/bridgeconfig/libusb/Cp210xWire.h"

namespace {

constexpr std::uint8_t SERIAL_STRING_INDEX = 3;

void PutWord(std::vector<std::uint8_t>& bytes, std::uint16_t word) {
    bytes.push_back(static_cast<std::uint8_t>(word & 0xFF));
    bytes.push_back(static_cast<std::uint8_t>(word >> 8));
}

std::vector<std::uint8_t> StringDescriptor(const std::u16string& text) {
    std::vector<std::uint8_t> bytes{static_cast<std::uint8_t>(2 + 2 * text.size()),
                                    STRING_DESCRIPTOR_TYPE};
    for (const char16_t c : text) {
        PutWord(bytes, c);
    }
    return bytes;
}

// What the chip answers to a device-to-host request; nothing makes it stall.
std::optional<std::vector<std::uint8_t>> Answer(const FakeChip& chip, const UsbSetup& setup) {
    const auto read = [&](std::uint8_t type, std::uint8_t request, std::uint16_t value,
                          std::uint16_t index) {
        return setup.requestType == type && setup.request == request && setup.value == value &&
               setup.index == index;
    };
    if (read(STANDARD_READ_TYPE, GET_DESCRIPTOR_REQUEST, 0x0100, 0)) {
        std::vector<std::uint8_t> bytes{18, DEVICE_DESCRIPTOR_TYPE, 0x10, 0x01, 0, 0, 0, 64};
        PutWord(bytes, chip.vid);
        PutWord(bytes, chip.pid);
        PutWord(bytes, chip.version);
        bytes.insert(bytes.end(), {1, 2, SERIAL_STRING_INDEX, 1});
        return bytes;
    }
    if (read(STANDARD_READ_TYPE, GET_DESCRIPTOR_REQUEST, 0x0200, 0)) {
        return std::vector<std::uint8_t>{9,    CONFIG_DESCRIPTOR_TYPE, 32, 0, 1, 1, 0,
                                         0x80, chip.maxPower};
    }
    if (read(STANDARD_READ_TYPE, GET_DESCRIPTOR_REQUEST, 0x0300 | SERIAL_STRING_INDEX,
             LANGID_US_ENGLISH) &&
        chip.serial.has_value()) {
        return StringDescriptor(*chip.serial);
    }
    if (read(VENDOR_READ_TYPE, VENDOR_REQUEST, GET_PART_NUMBER_VALUE, 0)) {
        return std::vector<std::uint8_t>{chip.partNumber};
    }
    if (read(VENDOR_READ_TYPE, VENDOR_REQUEST, GET_PORT_CONFIG_VALUE, 0)) {
        return chip.portConfig;
    }
    return std::nullopt;
}

class CFakeDevice final : public IUsbConfigDevice {
public:
    explicit CFakeDevice(std::shared_ptr<FakeChip> chip) : chip(std::move(chip)) {}

    int Control(const UsbSetup& setup, std::span<std::uint8_t> data,
                std::size_t* transferred) override {
        const bool toHost = (setup.requestType & 0x80) != 0;
        chip->transfers.push_back({setup, data.size(),
                                   toHost ? std::vector<std::uint8_t>{}
                                          : std::vector<std::uint8_t>(data.begin(), data.end())});
        if (!chip->plugged) {
            return USB_RESULT_GONE;
        }
        if (chip->failWith != USB_RESULT_OK) {
            return chip->failWith;
        }
        std::size_t moved = data.size();
        if (toHost) {
            const auto answer = Answer(*chip, setup);
            if (!answer.has_value()) {
                return USB_RESULT_STALLED;
            }
            moved = std::min(answer->size(), data.size());
            std::copy_n(answer->begin(), moved, data.begin());
        }
        *transferred = moved - std::min(moved, chip->shortBy);
        return USB_RESULT_OK;
    }

    int Reset() override {
        ++chip->resets;
        return chip->plugged ? chip->resetResult : USB_RESULT_GONE;
    }

private:
    std::shared_ptr<FakeChip> chip;
};

}  // namespace

std::shared_ptr<FakeChip> CFakeUsbBus::Plug(FakeChip chip) {
    chips.push_back(std::make_shared<FakeChip>(std::move(chip)));
    return chips.back();
}

int CFakeUsbBus::ListBridges(std::vector<UsbBridgeEntry>* bridges) {
    if (listResult != USB_RESULT_OK) {
        return listResult;
    }
    bridges->clear();
    for (const auto& chip : chips) {
        if (chip->plugged) {
            bridges->push_back({chip->location, chip->vid, chip->pid, chip->product, chip->serial});
        }
    }
    return USB_RESULT_OK;
}

int CFakeUsbBus::Open(const std::string& location, std::unique_ptr<IUsbConfigDevice>* device) {
    if (openResult != USB_RESULT_OK) {
        return openResult;
    }
    for (const auto& chip : chips) {
        if (chip->plugged && chip->location == location) {
            opened.push_back(location);
            *device = std::make_unique<CFakeDevice>(chip);
            return USB_RESULT_OK;
        }
    }
    return USB_RESULT_GONE;
}
