// Which attached USB devices are CP210x bridges, in which order the library counts them, and
// the texts it gives them (link name, VID/PID).
#pragma once

#include <cstdint>
#include <string>
#include <vector>

#include "platform/usblink/libusb/UsbTransport.h"

// A bridge found among the attached devices, with the UART interface the library uses.
struct Cp210xDevice {
    UsbDeviceInfo usb;
    std::uint8_t interfaceNumber = 0;
    std::uint8_t inEndpoint = 0;
    std::uint8_t outEndpoint = 0;
};

// The bridges among `devices`, ordered by bus and then hub port path so that a device keeps its
// index while others come and go behind it. A device counts when
// - its VID:PID is one of Silicon Labs' CP210x identities: its first vendor-class interface with
//   one bulk IN and one bulk OUT endpoint is the UART; or
// - whatever its VID:PID (dongles carry customised ones), its descriptors are those of a
//   single-UART CP210x: per-interface device class, exactly one interface, vendor class,
//   exactly two endpoints, bulk IN 0x81 and bulk OUT 0x01, 64-byte packets.
//   The fixed endpoint addresses keep out other vendor-class serial chips (their OUT endpoint is
//   0x02 or they have an interrupt endpoint).
std::vector<Cp210xDevice> FindCp210xDevices(const std::vector<UsbDeviceInfo>& devices);

// "usb:<bus>-<port>.<port>...", the name the kernel gives the same place in sysfs.
std::string LinkName(const UsbDeviceInfo& device);

// A string descriptor as an 8-bit string: code units up to 0xFF keep their value, others
// become '?'.
std::string NarrowDescriptor(const std::u16string& text);
