// A USB transport for tests: attached devices and replies are set up front, every transfer is
// recorded, and any call fails on demand; `Unplug` makes the device vanish.
#pragma once

#include <deque>
#include <map>
#include <set>
#include <vector>

#include "platform/usblink/libusb/UsbTransport.h"

struct RecordedControl {
    UsbSetup setup;
    std::vector<std::uint8_t> data;  // OUT data stage; empty for IN requests
    std::uint16_t length;

    bool operator==(const RecordedControl& other) const {
        return setup.requestType == other.setup.requestType &&
               setup.request == other.setup.request && setup.value == other.setup.value &&
               setup.index == other.setup.index && data == other.data && length == other.length;
    }
};

struct BulkReply {
    UsbResult result;
    std::vector<std::uint8_t> bytes;
};

class CFakeUsbTransport final : public IUsbTransport {
public:
    // A single-UART CP210x as Silicon Labs ships it, at bus 3, ports 1.4.
    static UsbDeviceInfo Cp2104() {
        return {3,      7,      {1, 4},
                0x10C4, 0xEA60, 0,
                2,      3,      {{0, 0xFF, 0, 0, {{0x81, 2, 64}, {0x01, 2, 64}}}}};
    }

    void Unplug() {
        devices.clear();
        gone = true;
    }

    UsbResult Enumerate(std::vector<UsbDeviceInfo>& found) override {
        found = devices;
        return enumerateResult;
    }
    UsbResult ReadString(const UsbDeviceInfo&, std::uint8_t index, std::u16string& text) override {
        if (gone || stringResult != UsbResult::OK) {
            return gone ? UsbResult::NO_DEVICE : stringResult;
        }
        text = strings[index];
        return UsbResult::OK;
    }
    UsbResult Open(const UsbDeviceInfo&, std::uint8_t interfaceNumber, UsbDeviceId& id) override {
        if (gone || openResult != UsbResult::OK) {
            return gone ? UsbResult::NO_DEVICE : openResult;
        }
        claimedInterface = interfaceNumber;
        id = nextId++;
        open.insert(id);
        return UsbResult::OK;
    }
    UsbResult Control(UsbDeviceId, const UsbSetup& setup, std::uint8_t* data, std::uint16_t length,
                      std::uint32_t, std::uint16_t& transferred) override {
        const bool in = (setup.requestType & 0x80) != 0;
        controls.push_back(
            {setup,
             in ? std::vector<std::uint8_t>{} : std::vector<std::uint8_t>(data, data + length),
             length});
        transferred = 0;
        if (gone) {
            return UsbResult::NO_DEVICE;
        }
        if (!controlResults.empty()) {
            const UsbResult result = controlResults.front();
            controlResults.pop_front();
            if (result != UsbResult::OK) {
                return result;
            }
        }
        if (in) {
            const std::vector<std::uint8_t>& reply = inReplies[setup.value];
            transferred = static_cast<std::uint16_t>(std::min<std::size_t>(reply.size(), length));
            std::copy_n(reply.begin(), transferred, data);
        } else {
            transferred = length;
        }
        return UsbResult::OK;
    }
    UsbResult BulkIn(UsbDeviceId, std::uint8_t endpoint, std::uint8_t* buffer, std::uint32_t length,
                     std::uint32_t timeoutMs, std::uint32_t& transferred) override {
        bulkInTimeouts.push_back(timeoutMs);
        bulkInEndpoint = endpoint;
        transferred = 0;
        if (gone) {
            return UsbResult::NO_DEVICE;
        }
        if (bulkIn.empty()) {
            return UsbResult::TIMEOUT;  // nothing arrived
        }
        BulkReply reply = std::move(bulkIn.front());
        bulkIn.pop_front();
        transferred = static_cast<std::uint32_t>(std::min<std::size_t>(reply.bytes.size(), length));
        std::copy_n(reply.bytes.begin(), transferred, buffer);
        return reply.result;
    }
    UsbResult BulkOut(UsbDeviceId, std::uint8_t endpoint, const std::uint8_t* buffer,
                      std::uint32_t length, std::uint32_t timeoutMs,
                      std::uint32_t& transferred) override {
        bulkOutTimeouts.push_back(timeoutMs);
        bulkOutEndpoint = endpoint;
        transferred = 0;
        if (gone) {
            return UsbResult::NO_DEVICE;
        }
        transferred = std::min(length, bulkOutAccepts);
        written.insert(written.end(), buffer, buffer + transferred);
        return bulkOutResult;
    }
    void Close(UsbDeviceId id) override {
        open.erase(id);
        if (closeCounter != nullptr) {
            ++*closeCounter;
        }
    }

    // Set up by the tests.
    std::vector<UsbDeviceInfo> devices{Cp2104()};
    std::map<std::uint8_t, std::u16string> strings;
    std::map<std::uint16_t, std::vector<std::uint8_t>> inReplies{{0x370B, {0x04}}};
    std::deque<UsbResult> controlResults;  // results of the next control transfers, then OK
    std::deque<BulkReply> bulkIn;
    UsbResult enumerateResult = UsbResult::OK;
    UsbResult stringResult = UsbResult::OK;
    UsbResult openResult = UsbResult::OK;
    UsbResult bulkOutResult = UsbResult::OK;
    std::uint32_t bulkOutAccepts = UINT32_MAX;
    bool gone = false;
    int* closeCounter = nullptr;  // counts Close calls, also beyond the fake's own life

    // Recorded.
    std::vector<RecordedControl> controls;
    std::vector<std::uint32_t> bulkInTimeouts;
    std::vector<std::uint32_t> bulkOutTimeouts;
    std::vector<std::uint8_t> written;
    std::uint8_t bulkInEndpoint = 0;
    std::uint8_t bulkOutEndpoint = 0;
    std::uint8_t claimedInterface = 0xFF;
    std::set<UsbDeviceId> open;

private:
    UsbDeviceId nextId = 10;
};
