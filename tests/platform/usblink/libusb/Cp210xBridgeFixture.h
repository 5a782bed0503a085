// The CP210x bridge library over a fake transport, with a helper that opens the first device.
#pragma once

#include <gtest/gtest.h>

#include <memory>

#include "platform/usblink/libusb/Cp210xUsbBridge.h"
#include "tests/platform/usblink/libusb/FakeUsbTransport.h"

class Cp210xBridgeTest : public testing::Test {
protected:
    // Opens device 0 as a part with the given part number and forgets the requests of Open.
    BridgeHandle OpenPart(std::uint8_t partNumber = 0x04) {
        usb->inReplies[0x370B] = {partNumber};
        BridgeHandle handle = NO_BRIDGE_HANDLE;
        EXPECT_EQ(library.Open(0, &handle), BRIDGE_SUCCESS);
        usb->controls.clear();
        return handle;
    }

    CFakeUsbTransport* usb = new CFakeUsbTransport;  // owned by the library
    CCp210xUsbBridge library{std::unique_ptr<IUsbTransport>(usb)};
};
