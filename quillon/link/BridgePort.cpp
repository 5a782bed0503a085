// CBridgePort: configuration of the bridge, the inverted byte stream, the GPIO latch and the
// product-string queries, all through the process's USB bridge library.
#include "quillon/link/BridgePort.h"

#include <cstring>
#include <new>

#include "platform/clock/Clock.h"

CBridgePort bridgePort;

namespace {

// Settings Open gives the bridge.
constexpr std::uint32_t PORT_BAUD_RATE = 57600;
constexpr std::uint32_t PORT_TIMEOUT_MS = 65535;
constexpr std::uint16_t PORT_LINE_CONTROL_8N1 = 0x0800;
// Close lets the idle latch pattern settle before flushing.
constexpr std::uint32_t CLOSE_SETTLE_MS = 25;
// Dongles whose serial number begins so carry the current USB configuration.
constexpr char CURRENT_SERIAL_PREFIX[] = "002";
constexpr std::size_t CURRENT_SERIAL_PREFIX_LENGTH = sizeof CURRENT_SERIAL_PREFIX - 1;

// A byte becomes a 16-bit character as a signed value: 0x80-0xFF give 0xFF80-0xFFFF.
char16_t Widen(std::uint8_t byte) {
    return static_cast<char16_t>(static_cast<std::int8_t>(byte));
}

bool Succeeded(int status) {
    return status == BRIDGE_SUCCESS;
}

}  // namespace

CBridgePort::CBridgePort() : handle(NO_BRIDGE_HANDLE), deviceIndex(-1) {}

// The device is not closed here: the application closes the port before it ends.
CBridgePort::~CBridgePort() {
    handle = NO_BRIDGE_HANDLE;
    deviceIndex = -1;
}

int CBridgePort::GetDeviceCount() {
    std::uint32_t num_devices = 0;
    if (!Succeeded(UsbBridge().GetNumDevices(&num_devices))) {
        return 0;
    }
    constexpr std::uint32_t MAX_COUNT = 0x7FFFFFFF;
    return static_cast<int>(num_devices > MAX_COUNT ? MAX_COUNT : num_devices);
}

int CBridgePort::Open(int deviceNumber) {
    IUsbBridgeLibrary& library = UsbBridge();
    const auto index = static_cast<std::uint32_t>(deviceNumber - 1);
    const bool configured = Succeeded(library.Open(index, &handle)) &&
                            Succeeded(library.FlushBuffers(handle, 1, 1)) &&
                            Succeeded(library.SetBaudRate(handle, PORT_BAUD_RATE)) &&
                            Succeeded(library.SetTimeouts(PORT_TIMEOUT_MS, PORT_TIMEOUT_MS)) &&
                            Succeeded(library.SetLineControl(handle, PORT_LINE_CONTROL_8N1)) &&
                            Succeeded(library.SetFlowControl(handle, 0, 0, 0, 0, 0, false)) &&
                            WriteLatch(LATCH_GPIO3_LOW) == PORT_OK;
    if (!configured) {
        library.Close(handle);  // status ignored: the port is closed either way
        handle = NO_BRIDGE_HANDLE;
        return PORT_FAILED;
    }
    deviceIndex = deviceNumber - 1;
    return PORT_OK;
}

int CBridgePort::Close() {
    IUsbBridgeLibrary& library = UsbBridge();
    for (const LatchSetting setting : {LATCH_GPIO2_LOW, LATCH_GPIO3_HIGH, LATCH_SELECT_3}) {
        if (WriteLatch(setting) != PORT_OK) {
            handle = NO_BRIDGE_HANDLE;
            return PORT_FAILED;
        }
    }
    SleepMs(CLOSE_SETTLE_MS);
    if (!Succeeded(library.FlushBuffers(handle, 1, 1))) {
        handle = NO_BRIDGE_HANDLE;
        return PORT_FAILED;
    }
    const int status = library.Close(handle);
    handle = NO_BRIDGE_HANDLE;
    return Succeeded(status) ? PORT_OK : PORT_FAILED;
}

int CBridgePort::GetSerialNumber(char16_t* buffer) {
    return GetProductString(BRIDGE_SERIAL_NUMBER, buffer);
}
int CBridgePort::GetDescription(char16_t* buffer) {
    return GetProductString(BRIDGE_DESCRIPTION, buffer);
}
int CBridgePort::GetLinkName(char16_t* buffer) {
    return GetProductString(BRIDGE_LINK_NAME, buffer);
}
int CBridgePort::GetVid(char16_t* buffer) {
    return GetProductString(BRIDGE_VID, buffer);
}
int CBridgePort::GetPid(char16_t* buffer) {
    return GetProductString(BRIDGE_PID, buffer);
}

// Asks about the device opened last (deviceIndex), not about the open handle.
int CBridgePort::GetProductString(std::uint8_t kind, char16_t* buffer) {
    char* product = new (std::nothrow) char[PORT_PRODUCT_STRING_SIZE]();
    if (product == nullptr) {
        return PORT_NO_MEMORY;
    }
    const int status =
        UsbBridge().GetProductString(static_cast<std::uint32_t>(deviceIndex), product, kind);
    if (!Succeeded(status)) {
        delete[] product;
        return PORT_FAILED;
    }
    for (int i = 0; i < PORT_PRODUCT_STRING_SIZE && product[i] != '\0'; ++i) {
        buffer[i] = Widen(static_cast<std::uint8_t>(product[i]));
    }
    delete[] product;
    return PORT_OK;
}

int CBridgePort::NeedsUpdate(int deviceNumber) {
    char m_Char[PORT_PRODUCT_STRING_SIZE] = {};
    const int status = UsbBridge().GetProductString(static_cast<std::uint32_t>(deviceNumber - 1),
                                                    m_Char, BRIDGE_SERIAL_NUMBER);
    if (!Succeeded(status)) {
        return 0;
    }
    return std::strncmp(m_Char, CURRENT_SERIAL_PREFIX, CURRENT_SERIAL_PREFIX_LENGTH) == 0 ? 0 : 1;
}

// A message longer than the work buffer is refused rather than written past its end.
int CBridgePort::WriteText(const char* message) {
    const std::size_t length = std::strlen(message);
    if (length > static_cast<std::size_t>(PORT_WORK_BUFFER_SIZE)) {
        return PORT_FAILED;
    }
    auto* wire = new (std::nothrow) std::uint8_t[PORT_WORK_BUFFER_SIZE]();
    if (wire == nullptr) {
        return PORT_NO_MEMORY;
    }
    for (std::size_t i = 0; i < length; ++i) {
        wire[i] = static_cast<std::uint8_t>(~static_cast<std::uint8_t>(message[i]));
    }
    std::uint32_t was_written = 0;
    const int status =
        UsbBridge().Write(handle, wire, static_cast<std::uint32_t>(length), &was_written);
    delete[] wire;
    return Succeeded(status) && was_written == length ? PORT_OK : PORT_FAILED;
}

// The work buffer keeps its last byte zero, so a message longer than 4095 characters is refused
// rather than cut.
int CBridgePort::WriteWideText(const char16_t* message) {
    auto* narrow = new (std::nothrow) char[PORT_WORK_BUFFER_SIZE]();
    if (narrow == nullptr) {
        return PORT_NO_MEMORY;
    }
    int length = 0;
    while (message[length] != u'\0' && length < PORT_WORK_BUFFER_SIZE - 1) {
        narrow[length] = static_cast<char>(message[length] & 0xFF);
        ++length;
    }
    const int result = message[length] == u'\0' ? WriteText(narrow) : PORT_FAILED;
    delete[] narrow;
    return result;
}

int CBridgePort::ReadBytes(std::uint8_t* buffer) {
    IUsbBridgeLibrary& library = UsbBridge();
    std::uint32_t data_available = 0;
    std::uint32_t status = 0;
    if (!Succeeded(library.CheckRxQueue(handle, &data_available, &status)) ||
        status != BRIDGE_RX_READY) {
        return PORT_FAILED;
    }
    const std::uint32_t wanted =
        data_available > PORT_MAX_READ ? std::uint32_t{PORT_MAX_READ} : data_available;
    std::uint32_t was_written = 0;
    if (!Succeeded(library.Read(handle, buffer, wanted, &was_written))) {
        return PORT_FAILED;
    }
    const std::uint32_t got = was_written > wanted ? wanted : was_written;
    std::uint32_t skip = 0;
    while (skip < got && buffer[skip] == 0x00) {
        ++skip;
    }
    const std::uint32_t kept = got - skip;
    std::memmove(buffer, buffer + skip, kept);
    for (std::uint32_t i = 0; i < kept; ++i) {
        buffer[i] = static_cast<std::uint8_t>(~buffer[i]);
    }
    return static_cast<int>(kept);
}

int CBridgePort::ReadWideText(char16_t* buffer) {
    auto* bytes = new (std::nothrow) std::uint8_t[PORT_WORK_BUFFER_SIZE]();
    if (bytes == nullptr) {
        return PORT_NO_MEMORY;
    }
    const int count = ReadBytes(bytes);
    if (count < 1) {
        delete[] bytes;
        return PORT_FAILED;
    }
    for (int i = 0; i < count; ++i) {
        buffer[i] = Widen(bytes[i]);
    }
    delete[] bytes;
    return count;
}

int CBridgePort::Flush() {
    return Succeeded(UsbBridge().FlushBuffers(handle, 1, 1)) ? PORT_OK : PORT_FAILED;
}

int CBridgePort::WriteLatch(LatchSetting setting) {
    return Succeeded(UsbBridge().WriteLatch(handle, setting.mask, setting.value)) ? PORT_OK
                                                                                  : PORT_FAILED;
}

int CBridgePort::ReadLatch(std::uint8_t* latch) {
    return Succeeded(UsbBridge().ReadLatch(handle, latch)) ? PORT_OK : PORT_FAILED;
}
