// The fourteen bridge operations over CP210x vendor requests and bulk transfers.
#include "platform/usblink/libusb/Cp210xUsbBridge.h"

#include <algorithm>
#include <cstring>

#include "platform/usblink/ProductString.h"

namespace {

constexpr std::uint32_t CONTROL_TIMEOUT_MS = 1000;
// A receive-queue check waits this long for bytes already on their way.
constexpr std::uint32_t POLL_TIMEOUT_MS = 5;
// Bulk IN transfers ask for a whole number of 64-byte packets, so a device never overflows
// them; a transfer ends early at the first short packet.
constexpr std::uint32_t RX_TRANSFER_SIZE = 4096;
// Checks stop polling while this much is waiting unread on the host, so the queue stays bounded.
constexpr std::size_t RX_QUEUE_LIMIT = 65536;
constexpr std::uint32_t MIN_BAUD = 300;

// libusb reads a time limit of 0 as "forever"; the library's 0 means "do not wait".
std::uint32_t TransferTimeout(std::uint32_t libraryTimeoutMs) {
    return std::max<std::uint32_t>(libraryTimeoutMs, 1);
}

}  // namespace

CCp210xUsbBridge::CCp210xUsbBridge(std::unique_ptr<IUsbTransport> usbTransport)
    : transport(std::move(usbTransport)) {}

// Handles left open give their interfaces back to the kernel driver.
CCp210xUsbBridge::~CCp210xUsbBridge() {
    for (const auto& [handle, device] : handles) {
        transport->Close(device.id);
    }
}

int CCp210xUsbBridge::Devices(std::vector<Cp210xDevice>& devices) {
    std::vector<UsbDeviceInfo> attached;
    if (transport->Enumerate(attached) != UsbResult::OK) {
        return BRIDGE_DEVICE_IO_FAILED;
    }
    devices = FindCp210xDevices(attached);
    return BRIDGE_SUCCESS;
}

int CCp210xUsbBridge::Lookup(BridgeHandle handle, OpenDevice*& device) {
    const auto it = handles.find(handle);
    if (it == handles.end()) {
        return BRIDGE_INVALID_HANDLE;
    }
    if (it->second.gone) {
        return BRIDGE_DEVICE_IO_FAILED;
    }
    device = &it->second;
    return BRIDGE_SUCCESS;
}

int CCp210xUsbBridge::Failed(OpenDevice& device, UsbResult result, int otherwise) {
    if (result == UsbResult::NO_DEVICE) {
        device.gone = true;
        return BRIDGE_DEVICE_IO_FAILED;
    }
    return otherwise;
}

int CCp210xUsbBridge::Send(OpenDevice& device, const Cp210xRequest& request,
                           std::vector<std::uint8_t>* reply, UsbResult* outcome) {
    std::vector<std::uint8_t> data = request.data;
    if (request.inLength > 0) {
        data.assign(request.inLength, 0);
    }
    std::uint16_t transferred = 0;
    const UsbResult result = transport->Control(device.id, request.setup, data.data(),
                                                static_cast<std::uint16_t>(data.size()),
                                                CONTROL_TIMEOUT_MS, transferred);
    if (outcome != nullptr) {
        *outcome = result;
    }
    if (result != UsbResult::OK) {
        return Failed(device, result, BRIDGE_DEVICE_IO_FAILED);
    }
    if (transferred != data.size()) {
        return BRIDGE_DEVICE_IO_FAILED;
    }
    if (reply != nullptr) {
        *reply = std::move(data);
    }
    return BRIDGE_SUCCESS;
}

UsbResult CCp210xUsbBridge::Fill(OpenDevice& device, std::uint32_t timeoutMs) {
    std::vector<std::uint8_t> chunk(RX_TRANSFER_SIZE);
    std::uint32_t transferred = 0;
    const UsbResult result = transport->BulkIn(device.id, device.device.inEndpoint, chunk.data(),
                                               RX_TRANSFER_SIZE, timeoutMs, transferred);
    const std::uint32_t kept = std::min(transferred, RX_TRANSFER_SIZE);
    device.rxQueue.insert(device.rxQueue.end(), chunk.begin(), chunk.begin() + kept);
    return result;
}

int CCp210xUsbBridge::GetNumDevices(std::uint32_t* count) {
    std::vector<Cp210xDevice> devices;
    const int status = Devices(devices);
    if (status == BRIDGE_SUCCESS) {
        *count = static_cast<std::uint32_t>(devices.size());
    }
    return status;
}

int CCp210xUsbBridge::GetProductString(std::uint32_t deviceIndex, char* buffer, std::uint8_t kind) {
    std::vector<Cp210xDevice> devices;
    const int status = Devices(devices);
    if (status != BRIDGE_SUCCESS) {
        return status;
    }
    if (deviceIndex >= devices.size()) {
        return BRIDGE_DEVICE_NOT_FOUND;
    }
    const UsbDeviceInfo& usb = devices[deviceIndex].usb;
    std::string text;
    switch (kind) {
        case BRIDGE_SERIAL_NUMBER:
        case BRIDGE_DESCRIPTION: {
            const std::uint8_t index =
                kind == BRIDGE_SERIAL_NUMBER ? usb.serialIndex : usb.productIndex;
            // A bridge without a serial number cannot tell whether its configuration is current.
            if (index == 0 && kind == BRIDGE_SERIAL_NUMBER) {
                return BRIDGE_DEVICE_IO_FAILED;
            }
            std::u16string descriptor;
            const UsbResult result =
                index == 0 ? UsbResult::OK : transport->ReadString(usb, index, descriptor);
            if (result != UsbResult::OK) {
                return result == UsbResult::NO_DEVICE ? BRIDGE_DEVICE_NOT_FOUND
                                                      : BRIDGE_DEVICE_IO_FAILED;
            }
            text = NarrowDescriptor(descriptor);
            break;
        }
        case BRIDGE_LINK_NAME:
            text = LinkName(usb);
            break;
        case BRIDGE_VID:
            text = UsbIdText(usb.vid);
            break;
        case BRIDGE_PID:
            text = UsbIdText(usb.pid);
            break;
        default:
            return BRIDGE_INVALID_PARAMETER;
    }
    return StoreProductString(text, buffer);
}

int CCp210xUsbBridge::Open(std::uint32_t deviceIndex, BridgeHandle* handle) {
    std::vector<Cp210xDevice> devices;
    const int status = Devices(devices);
    if (status != BRIDGE_SUCCESS) {
        return status;
    }
    if (deviceIndex >= devices.size()) {
        return BRIDGE_DEVICE_NOT_FOUND;
    }
    const Cp210xDevice& wanted = devices[deviceIndex];
    for (const auto& [other, open] : handles) {
        if (open.device.usb.bus == wanted.usb.bus &&
            open.device.usb.address == wanted.usb.address) {
            return BRIDGE_DEVICE_IO_FAILED;  // one handle per device at a time
        }
    }
    UsbDeviceId id = 0;
    const UsbResult result = transport->Open(wanted.usb, wanted.interfaceNumber, id);
    if (result != UsbResult::OK) {
        return result == UsbResult::NO_DEVICE ? BRIDGE_DEVICE_NOT_FOUND : BRIDGE_DEVICE_IO_FAILED;
    }
    // The part number comes first: every CP210x answers it, so a device that only looked like
    // one is left alone before its UART is touched.
    OpenDevice device{id, wanted, 0, {}, false};
    std::vector<std::uint8_t> part;
    int opened = Send(device, PartNumberRequest(), &part);
    if (opened == BRIDGE_SUCCESS) {
        device.partNumber = part.front();
        opened = Send(device, InterfaceEnableRequest(wanted.interfaceNumber, true));
    }
    if (opened != BRIDGE_SUCCESS) {
        transport->Close(id);
        return opened;
    }
    handles.emplace(nextHandle, std::move(device));
    *handle = nextHandle++;
    return BRIDGE_SUCCESS;
}

// Queues purged and the UART disabled, as the kernel driver leaves a port; the interface goes
// back to the kernel driver whatever the device answered.
int CCp210xUsbBridge::Close(BridgeHandle handle) {
    const auto it = handles.find(handle);
    if (it == handles.end()) {
        return BRIDGE_INVALID_HANDLE;
    }
    OpenDevice& device = it->second;
    int status = BRIDGE_DEVICE_IO_FAILED;
    if (!device.gone) {
        const std::uint8_t uart = device.device.interfaceNumber;
        const int purged = Send(device, PurgeRequest(uart, true, true));
        const int disabled = device.gone ? BRIDGE_DEVICE_IO_FAILED
                                         : Send(device, InterfaceEnableRequest(uart, false));
        status = purged != BRIDGE_SUCCESS ? purged : disabled;
    }
    transport->Close(device.id);
    handles.erase(it);
    return status;
}

int CCp210xUsbBridge::Read(BridgeHandle handle, std::uint8_t* buffer, std::uint32_t count,
                           std::uint32_t* bytesRead) {
    OpenDevice* device = nullptr;
    const int status = Lookup(handle, device);
    if (status != BRIDGE_SUCCESS) {
        return status;
    }
    if (count > 0 && device->rxQueue.empty()) {
        const UsbResult result = Fill(*device, TransferTimeout(readTimeoutMs));
        if (result != UsbResult::OK && device->rxQueue.empty()) {
            return result == UsbResult::TIMEOUT ? BRIDGE_READ_TIMED_OUT
                                                : Failed(*device, result, BRIDGE_READ_ERROR);
        }
    }
    const std::size_t taken = std::min<std::size_t>(count, device->rxQueue.size());
    std::copy_n(device->rxQueue.begin(), taken, buffer);
    device->rxQueue.erase(device->rxQueue.begin(), device->rxQueue.begin() + taken);
    *bytesRead = static_cast<std::uint32_t>(taken);
    return BRIDGE_SUCCESS;
}

int CCp210xUsbBridge::Write(BridgeHandle handle, const std::uint8_t* buffer, std::uint32_t count,
                            std::uint32_t* bytesWritten) {
    OpenDevice* device = nullptr;
    const int status = Lookup(handle, device);
    if (status != BRIDGE_SUCCESS) {
        return status;
    }
    std::uint32_t transferred = 0;
    if (count > 0) {
        const UsbResult result =
            transport->BulkOut(device->id, device->device.outEndpoint, buffer, count,
                               TransferTimeout(writeTimeoutMs), transferred);
        if (result == UsbResult::TIMEOUT) {
            return BRIDGE_WRITE_TIMED_OUT;
        }
        if (result != UsbResult::OK) {
            return Failed(*device, result, BRIDGE_WRITE_ERROR);
        }
    }
    *bytesWritten = std::min(transferred, count);
    return BRIDGE_SUCCESS;
}

int CCp210xUsbBridge::FlushBuffers(BridgeHandle handle, std::uint8_t flushTransmit,
                                   std::uint8_t flushReceive) {
    OpenDevice* device = nullptr;
    const int status = Lookup(handle, device);
    if (status != BRIDGE_SUCCESS) {
        return status;
    }
    if (flushReceive != 0) {
        device->rxQueue.clear();
    }
    if (flushTransmit == 0 && flushReceive == 0) {
        return BRIDGE_SUCCESS;
    }
    return Send(*device, PurgeRequest(device->device.interfaceNumber, flushTransmit != 0,
                                      flushReceive != 0));
}

int CCp210xUsbBridge::SetTimeouts(std::uint32_t readTimeout, std::uint32_t writeTimeout) {
    readTimeoutMs = readTimeout;
    writeTimeoutMs = writeTimeout;
    return BRIDGE_SUCCESS;
}

int CCp210xUsbBridge::CheckRxQueue(BridgeHandle handle, std::uint32_t* bytesInQueue,
                                   std::uint32_t* queueStatus) {
    OpenDevice* device = nullptr;
    const int status = Lookup(handle, device);
    if (status != BRIDGE_SUCCESS) {
        return status;
    }
    if (device->rxQueue.size() < RX_QUEUE_LIMIT) {
        const UsbResult result = Fill(*device, POLL_TIMEOUT_MS);
        if (result != UsbResult::OK && result != UsbResult::TIMEOUT) {
            return Failed(*device, result, BRIDGE_DEVICE_IO_FAILED);
        }
    }
    *bytesInQueue = static_cast<std::uint32_t>(device->rxQueue.size());
    *queueStatus = device->rxQueue.empty() ? BRIDGE_RX_EMPTY : BRIDGE_RX_READY;
    return BRIDGE_SUCCESS;
}

// Parts with older firmware may stall SET_BAUDRATE; they take the legacy divisor instead.
int CCp210xUsbBridge::SetBaudRate(BridgeHandle handle, std::uint32_t baudRate) {
    OpenDevice* device = nullptr;
    const int status = Lookup(handle, device);
    if (status != BRIDGE_SUCCESS) {
        return status;
    }
    const std::uint8_t uart = device->device.interfaceNumber;
    if (baudRate < MIN_BAUD || baudRate > MaxBaudRate(device->partNumber, uart)) {
        return BRIDGE_INVALID_BAUDRATE;
    }
    UsbResult outcome = UsbResult::OK;
    const int sent = Send(*device, BaudRateRequest(uart, baudRate), nullptr, &outcome);
    if (outcome == UsbResult::STALL && HasLegacyBaudDivisor(device->partNumber)) {
        return Send(*device, BaudDivisorRequest(uart, baudRate));
    }
    return sent;
}

int CCp210xUsbBridge::SetLineControl(BridgeHandle handle, std::uint16_t lineControl) {
    OpenDevice* device = nullptr;
    const int status = Lookup(handle, device);
    if (status != BRIDGE_SUCCESS) {
        return status;
    }
    if (!IsValidLineControl(lineControl)) {
        return BRIDGE_INVALID_PARAMETER;
    }
    return Send(*device, LineControlRequest(device->device.interfaceNumber, lineControl));
}

int CCp210xUsbBridge::SetFlowControl(BridgeHandle handle, std::uint8_t ctsMaskCode,
                                     std::uint8_t rtsMaskCode, std::uint8_t dtrMaskCode,
                                     std::uint8_t dsrMaskCode, std::uint8_t dcdMaskCode,
                                     bool flowXonXoff) {
    OpenDevice* device = nullptr;
    const int status = Lookup(handle, device);
    if (status != BRIDGE_SUCCESS) {
        return status;
    }
    const std::optional<Cp210xRequest> request =
        FlowControlRequest(device->device.interfaceNumber, ctsMaskCode, rtsMaskCode, dtrMaskCode,
                           dsrMaskCode, dcdMaskCode, flowXonXoff);
    return request ? Send(*device, *request) : BRIDGE_INVALID_PARAMETER;
}

int CCp210xUsbBridge::ReadLatch(BridgeHandle handle, std::uint8_t* latch) {
    OpenDevice* device = nullptr;
    const int status = Lookup(handle, device);
    if (status != BRIDGE_SUCCESS) {
        return status;
    }
    const Cp210xGpio gpio = GpioOfPart(device->partNumber);
    if (gpio == Cp210xGpio::NONE) {
        return BRIDGE_FUNCTION_NOT_SUPPORTED;
    }
    std::vector<std::uint8_t> reply;
    const int sent = Send(*device, ReadLatchRequest(gpio, device->device.interfaceNumber), &reply);
    if (sent == BRIDGE_SUCCESS) {
        *latch = LatchFromReply(reply);
    }
    return sent;
}

int CCp210xUsbBridge::WriteLatch(BridgeHandle handle, std::uint8_t mask, std::uint8_t value) {
    OpenDevice* device = nullptr;
    const int status = Lookup(handle, device);
    if (status != BRIDGE_SUCCESS) {
        return status;
    }
    const Cp210xGpio gpio = GpioOfPart(device->partNumber);
    if (gpio == Cp210xGpio::NONE) {
        return BRIDGE_FUNCTION_NOT_SUPPORTED;
    }
    return Send(*device, WriteLatchRequest(gpio, device->device.interfaceNumber, mask, value));
}
