// A USB bridge library that passes every call to another one, records the calls with their
// arguments, and fails a chosen operation on demand.
#pragma once

#include <cstdio>
#include <string>
#include <vector>

#include "platform/usblink/UsbBridgeLibrary.h"

class CRecordingBridge final : public IUsbBridgeLibrary {
public:
    explicit CRecordingBridge(IUsbBridgeLibrary& inner) : inner(inner) {}

    std::vector<std::string> calls;
    std::string failing;      // name of the operation that fails with BRIDGE_DEVICE_IO_FAILED
    bool shortWrite = false;  // Write reports one byte fewer than it was given
    std::vector<std::uint8_t> lastWrite;

    int GetNumDevices(std::uint32_t* count) override {
        return Call("GetNumDevices", [&] { return inner.GetNumDevices(count); });
    }
    int GetProductString(std::uint32_t index, char* buffer, std::uint8_t kind) override {
        return Call("GetProductString " + Num(index) + " " + Num(kind),
                    [&] { return inner.GetProductString(index, buffer, kind); });
    }
    int Open(std::uint32_t index, BridgeHandle* handle) override {
        return Call("Open " + Num(index), [&] { return inner.Open(index, handle); });
    }
    int Close(BridgeHandle handle) override {
        return Call("Close", [&] { return inner.Close(handle); });
    }
    int Read(BridgeHandle handle, std::uint8_t* buffer, std::uint32_t count,
             std::uint32_t* bytesRead) override {
        return Call("Read " + Num(count),
                    [&] { return inner.Read(handle, buffer, count, bytesRead); });
    }
    int Write(BridgeHandle handle, const std::uint8_t* buffer, std::uint32_t count,
              std::uint32_t* bytesWritten) override {
        lastWrite.assign(buffer, buffer + count);
        return Call("Write " + Num(count), [&] {
            const int status = inner.Write(handle, buffer, count, bytesWritten);
            if (shortWrite && status == BRIDGE_SUCCESS && *bytesWritten > 0) {
                --*bytesWritten;
            }
            return status;
        });
    }
    int FlushBuffers(BridgeHandle handle, std::uint8_t tx, std::uint8_t rx) override {
        return Call("FlushBuffers " + Num(tx) + " " + Num(rx),
                    [&] { return inner.FlushBuffers(handle, tx, rx); });
    }
    int SetTimeouts(std::uint32_t readMs, std::uint32_t writeMs) override {
        return Call("SetTimeouts " + Num(readMs) + " " + Num(writeMs),
                    [&] { return inner.SetTimeouts(readMs, writeMs); });
    }
    int CheckRxQueue(BridgeHandle handle, std::uint32_t* bytes, std::uint32_t* status) override {
        return Call("CheckRxQueue", [&] { return inner.CheckRxQueue(handle, bytes, status); });
    }
    int SetBaudRate(BridgeHandle handle, std::uint32_t baud) override {
        return Call("SetBaudRate " + Num(baud), [&] { return inner.SetBaudRate(handle, baud); });
    }
    int SetLineControl(BridgeHandle handle, std::uint16_t lineControl) override {
        return Call("SetLineControl " + Hex(lineControl, 4),
                    [&] { return inner.SetLineControl(handle, lineControl); });
    }
    int SetFlowControl(BridgeHandle handle, std::uint8_t cts, std::uint8_t rts, std::uint8_t dtr,
                       std::uint8_t dsr, std::uint8_t dcd, bool xonXoff) override {
        return Call(
            "SetFlowControl " + Num(cts) + Num(rts) + Num(dtr) + Num(dsr) + Num(dcd) + Num(xonXoff),
            [&] { return inner.SetFlowControl(handle, cts, rts, dtr, dsr, dcd, xonXoff); });
    }
    int ReadLatch(BridgeHandle handle, std::uint8_t* latch) override {
        return Call("ReadLatch", [&] { return inner.ReadLatch(handle, latch); });
    }
    int WriteLatch(BridgeHandle handle, std::uint8_t mask, std::uint8_t value) override {
        return Call("WriteLatch " + Hex(mask, 2) + " " + Hex(value, 2),
                    [&] { return inner.WriteLatch(handle, mask, value); });
    }

private:
    template <typename F>
    int Call(const std::string& call, F forward) {
        calls.push_back(call);
        if (!failing.empty() && call.rfind(failing, 0) == 0) {
            return BRIDGE_DEVICE_IO_FAILED;
        }
        return forward();
    }
    static std::string Num(unsigned value) { return std::to_string(value); }
    static std::string Hex(unsigned value, int digits) {
        char text[8];
        std::snprintf(text, sizeof text, "%0*X", digits, value);
        return text;
    }

    IUsbBridgeLibrary& inner;
};
