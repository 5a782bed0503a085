// The USB transport of the configuration library over libusb-1.0.
#pragma once

#include <memory>

#include "platform/bridgeconfig/libusb/UsbConfigTransport.h"

// The transport on its own libusb context; nothing when libusb cannot start (no USB in this
// system, or no access to it).
std::unique_ptr<IUsbConfigTransport> CreateLibusbConfigTransport();
