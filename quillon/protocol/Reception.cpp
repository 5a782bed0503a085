// Reading the target's replies through the port, one buffer per call.
#include "quillon/protocol/Reception.h"

#include <algorithm>
#include <new>

#include "platform/clock/Clock.h"
#include "quillon/link/BridgePort.h"
#include "quillon/protocol/WireTexts.h"

CReceptionBuffer::CReceptionBuffer() : data(new (std::nothrow) char16_t[RECEPTION_SIZE]()) {}

CReceptionBuffer::~CReceptionBuffer() {
    delete[] data;
}

void CReceptionBuffer::Clear() {
    std::fill_n(data, RECEPTION_SIZE, u'\0');
}

std::u16string_view CReceptionBuffer::Text() const {
    return std::u16string_view(data);
}

int ReadOnce(CBridgePort& port, CReceptionBuffer& buffer, std::u16string& info) {
    buffer.Clear();
    const int count = port.ReadWideText(buffer.Data());
    info.assign(buffer.Text());
    return count;
}

int ReadCompleted(CBridgePort& port, CReceptionBuffer& buffer, std::u16string& info) {
    const int count = ReadOnce(port, buffer, info);
    if (count > 0 && info.find(PACKET_CLOSE) == std::u16string::npos) {
        SleepMs(COMPLETION_WAIT_MS);
        buffer.Clear();
        port.ReadWideText(buffer.Data());
        info.append(buffer.Text());
    }
    return count;
}
