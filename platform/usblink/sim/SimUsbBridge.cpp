// The simulated USB bridge library: library semantics (handles, statuses, timeouts, product
// strings) over the simulated dongles.
#include "platform/usblink/sim/SimUsbBridge.h"

#include <cstdio>
#include <cstring>

#include "platform/clock/Clock.h"
#include "platform/usblink/ProductString.h"

namespace {

constexpr std::uint32_t MAX_BAUD = 1000000;

// Host-side text of wire bytes: every byte complemented back.
std::string Decoded(const std::uint8_t* wire, std::size_t count) {
    std::string text(count, '\0');
    for (std::size_t i = 0; i < count; ++i) {
        text[i] = static_cast<char>(~wire[i]);
    }
    return text;
}

}  // namespace

CSimUsbBridge::CSimUsbBridge(const std::string& stateFile, const std::string& tracePath,
                             SimTargetFactory factory)
    : bramlet(stateFile, tracePath, std::move(factory)) {}

void CSimUsbBridge::TraceLine(const char* event, const std::string& detail) {
    bramlet.Trace().Line(TheClock().NowMicros(), event, detail);
}

int CSimUsbBridge::Lookup(BridgeHandle handle, CSimDongle*& dongle) {
    bramlet.Update();
    const auto it = handles.find(handle);
    if (it == handles.end()) {
        return BRIDGE_INVALID_HANDLE;
    }
    if (it->second->Gone()) {
        return BRIDGE_DEVICE_IO_FAILED;
    }
    dongle = it->second.get();
    return BRIDGE_SUCCESS;
}

int CSimUsbBridge::GetNumDevices(std::uint32_t* count) {
    bramlet.Update();
    *count = static_cast<std::uint32_t>(bramlet.DeviceCount());
    return BRIDGE_SUCCESS;
}

int CSimUsbBridge::GetProductString(std::uint32_t deviceIndex, char* buffer, std::uint8_t kind) {
    bramlet.Update();
    if (deviceIndex >= bramlet.DeviceCount()) {
        return BRIDGE_DEVICE_NOT_FOUND;
    }
    const CSimDongle& dongle = bramlet.Dongle(deviceIndex);
    const SimDongleConfig& config = dongle.Config();
    std::string text;
    switch (kind) {
        case BRIDGE_SERIAL_NUMBER:
            if (!config.serialReadable) {
                return BRIDGE_DEVICE_IO_FAILED;
            }
            text = config.serial;
            break;
        case BRIDGE_DESCRIPTION:
            text = config.product;
            break;
        case BRIDGE_LINK_NAME:
            text = "sim:" + std::to_string(dongle.FileIndex() + 1);
            break;
        case BRIDGE_VID:
            text = UsbIdText(config.vid);
            break;
        case BRIDGE_PID:
            text = UsbIdText(config.pid);
            break;
        default:
            return BRIDGE_INVALID_PARAMETER;
    }
    return StoreProductString(text, buffer);
}

int CSimUsbBridge::Open(std::uint32_t deviceIndex, BridgeHandle* handle) {
    bramlet.Update();
    if (deviceIndex >= bramlet.DeviceCount()) {
        return BRIDGE_DEVICE_NOT_FOUND;
    }
    const std::shared_ptr<CSimDongle>& dongle = bramlet.Device(deviceIndex);
    if (dongle->open) {
        return BRIDGE_DEVICE_IO_FAILED;  // one handle per device at a time
    }
    dongle->open = true;
    handles[nextHandle] = dongle;
    *handle = nextHandle++;
    TraceLine("open", std::to_string(deviceIndex));
    return BRIDGE_SUCCESS;
}

int CSimUsbBridge::Close(BridgeHandle handle) {
    bramlet.Update();
    const auto it = handles.find(handle);
    if (it == handles.end()) {
        return BRIDGE_INVALID_HANDLE;
    }
    const bool gone = it->second->Gone();
    it->second->open = false;
    handles.erase(it);
    TraceLine("close");
    return gone ? BRIDGE_DEVICE_IO_FAILED : BRIDGE_SUCCESS;
}

int CSimUsbBridge::Read(BridgeHandle handle, std::uint8_t* buffer, std::uint32_t count,
                        std::uint32_t* bytesRead) {
    CSimDongle* dongle = nullptr;
    int status = Lookup(handle, dongle);
    if (status != BRIDGE_SUCCESS) {
        return status;
    }
    const std::int64_t deadline = TheClock().NowMicros() + std::int64_t{readTimeoutMs} * 1000;
    while (count > 0 && dongle->Link().RxWaiting() == 0) {
        const std::int64_t next = bramlet.NextEventTime();
        if (next < 0 || next > deadline) {
            TheClock().SleepUntil(deadline);
            return BRIDGE_READ_TIMED_OUT;
        }
        TheClock().SleepUntil(next);
        status = Lookup(handle, dongle);
        if (status != BRIDGE_SUCCESS) {
            return status;
        }
    }
    const std::size_t taken = dongle->Link().TakeRx(buffer, count);
    *bytesRead = static_cast<std::uint32_t>(taken);
    if (taken > 0) {
        TraceLine("rx", EscapeTraceText(Decoded(buffer, taken)));
    }
    return BRIDGE_SUCCESS;
}

int CSimUsbBridge::Write(BridgeHandle handle, const std::uint8_t* buffer, std::uint32_t count,
                         std::uint32_t* bytesWritten) {
    CSimDongle* dongle = nullptr;
    const int status = Lookup(handle, dongle);
    if (status != BRIDGE_SUCCESS) {
        return status;
    }
    dongle->Link().HostWrite(buffer, count, TheClock().NowMicros());
    *bytesWritten = count;
    TraceLine("tx", EscapeTraceText(Decoded(buffer, count)));
    return BRIDGE_SUCCESS;
}

int CSimUsbBridge::FlushBuffers(BridgeHandle handle, std::uint8_t flushTransmit,
                                std::uint8_t flushReceive) {
    CSimDongle* dongle = nullptr;
    const int status = Lookup(handle, dongle);
    if (status != BRIDGE_SUCCESS) {
        return status;
    }
    if (flushTransmit != 0) {
        dongle->Link().FlushTx(TheClock().NowMicros());
    }
    if (flushReceive != 0) {
        dongle->Link().FlushRx();
    }
    TraceLine("flush");
    return BRIDGE_SUCCESS;
}

int CSimUsbBridge::SetTimeouts(std::uint32_t readTimeout, std::uint32_t writeTimeout) {
    readTimeoutMs = readTimeout;
    writeTimeoutMs = writeTimeout;
    return BRIDGE_SUCCESS;
}

int CSimUsbBridge::CheckRxQueue(BridgeHandle handle, std::uint32_t* bytesInQueue,
                                std::uint32_t* queueStatus) {
    CSimDongle* dongle = nullptr;
    const int status = Lookup(handle, dongle);
    if (status != BRIDGE_SUCCESS) {
        return status;
    }
    const std::size_t waiting = dongle->Link().RxWaiting();
    *bytesInQueue = static_cast<std::uint32_t>(waiting);
    *queueStatus = waiting > 0 ? BRIDGE_RX_READY : BRIDGE_RX_EMPTY;
    return BRIDGE_SUCCESS;
}

int CSimUsbBridge::SetBaudRate(BridgeHandle handle, std::uint32_t baudRate) {
    CSimDongle* dongle = nullptr;
    const int status = Lookup(handle, dongle);
    if (status != BRIDGE_SUCCESS) {
        return status;
    }
    if (baudRate == 0 || baudRate > MAX_BAUD) {
        return BRIDGE_INVALID_BAUDRATE;
    }
    dongle->Link().Settings().baudRate = baudRate;
    dongle->Link().Settings().configured = true;
    return BRIDGE_SUCCESS;
}

int CSimUsbBridge::SetLineControl(BridgeHandle handle, std::uint16_t lineControl) {
    CSimDongle* dongle = nullptr;
    const int status = Lookup(handle, dongle);
    if (status != BRIDGE_SUCCESS) {
        return status;
    }
    dongle->Link().Settings().lineControl = lineControl;
    dongle->Link().Settings().configured = true;
    return BRIDGE_SUCCESS;
}

int CSimUsbBridge::SetFlowControl(BridgeHandle handle, std::uint8_t ctsMaskCode,
                                  std::uint8_t rtsMaskCode, std::uint8_t dtrMaskCode,
                                  std::uint8_t dsrMaskCode, std::uint8_t dcdMaskCode,
                                  bool flowXonXoff) {
    CSimDongle* dongle = nullptr;
    const int status = Lookup(handle, dongle);
    if (status != BRIDGE_SUCCESS) {
        return status;
    }
    SimUartSettings& settings = dongle->Link().Settings();
    const std::uint8_t codes[] = {ctsMaskCode, rtsMaskCode, dtrMaskCode, dsrMaskCode, dcdMaskCode};
    std::memcpy(settings.flowControl, codes, sizeof codes);
    settings.flowXonXoff = flowXonXoff;
    settings.configured = true;
    return BRIDGE_SUCCESS;
}

int CSimUsbBridge::ReadLatch(BridgeHandle handle, std::uint8_t* latch) {
    CSimDongle* dongle = nullptr;
    const int status = Lookup(handle, dongle);
    if (status != BRIDGE_SUCCESS) {
        return status;
    }
    *latch = dongle->Link().Latch();
    return BRIDGE_SUCCESS;
}

int CSimUsbBridge::WriteLatch(BridgeHandle handle, std::uint8_t mask, std::uint8_t value) {
    CSimDongle* dongle = nullptr;
    const int status = Lookup(handle, dongle);
    if (status != BRIDGE_SUCCESS) {
        return status;
    }
    dongle->Link().WriteLatch(mask, value, TheClock().NowMicros());
    char detail[8];
    std::snprintf(detail, sizeof detail, "%02X %02X", mask, value);
    TraceLine("latch", detail);
    return BRIDGE_SUCCESS;
}
