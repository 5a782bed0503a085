// Chooses the process's USB bridge library once at start-up.
#pragma once

#include <memory>

#include "platform/usblink/UsbBridgeLibrary.h"

// BRAMLET_SIMULATOR names a simulator state file: the simulated library on that file, tracing
// to the file named by BRAMLET_SIM_TRACE when set. Otherwise the library of the real devices.
// The caller installs the result with InstallUsbBridge and keeps it alive.
std::unique_ptr<IUsbBridgeLibrary> CreateUsbBridgeLibrary();
