// Timing of the simulated UART in both directions and the GPIO latch of one dongle.
#include "sim/SimLink.h"

#include <algorithm>

std::int64_t SimWireMicros(std::int64_t bytes) {
    const std::int64_t bitMicros = bytes * SIM_BITS_PER_BYTE * 1000000;
    return (bitMicros + SIM_LINK_BAUD - 1) / SIM_LINK_BAUD;
}

CSimLink::CSimLink(std::unique_ptr<ISimTarget> target) : target(std::move(target)) {}

std::int64_t CSimLink::NextEventTime() const {
    std::int64_t next = -1;
    const auto consider = [&next](std::int64_t at) {
        if (next < 0 || at < next) {
            next = at;
        }
    };
    if (unplugged) {
        return -1;
    }
    if (!toTarget.empty()) {
        consider(toTarget.front().arrival);
    }
    if (!toHost.empty()) {
        consider(toHost.front().readable);
    }
    if (unplugAt >= 0) {
        consider(unplugAt);
    }
    return next;
}

void CSimLink::AdvanceTo(std::int64_t now) {
    for (std::int64_t next = NextEventTime(); next >= 0 && next <= now; next = NextEventTime()) {
        if (unplugAt >= 0 && unplugAt == next) {
            unplugged = true;
            return;
        }
        if (!toHost.empty() && toHost.front().readable == next) {
            const std::string& wire = toHost.front().wire;
            rxQueue.insert(rxQueue.end(), wire.begin(), wire.end());
            toHost.pop_front();
            continue;
        }
        const HostByte byte = toTarget.front();
        toTarget.pop_front();
        target->OnHostByte(static_cast<char>(~byte.wire), byte.arrival, *this);
    }
}

void CSimLink::WriteLatch(std::uint8_t mask, std::uint8_t value, std::int64_t now) {
    latch = static_cast<std::uint8_t>((latch & ~mask) | (value & mask));
    target->OnLatch(latch, now, *this);
}

void CSimLink::HostWrite(const std::uint8_t* bytes, std::size_t count, std::int64_t now) {
    const std::int64_t start = std::max(now, txFreeAt);
    for (std::size_t i = 0; i < count; ++i) {
        toTarget.push_back({start + SimWireMicros(static_cast<std::int64_t>(i) + 1), bytes[i]});
    }
    if (count > 0) {
        txFreeAt = toTarget.back().arrival;
    }
}

std::size_t CSimLink::TakeRx(std::uint8_t* buffer, std::size_t count) {
    const std::size_t taken = std::min(count, rxQueue.size());
    std::copy_n(rxQueue.begin(), taken, buffer);
    rxQueue.erase(rxQueue.begin(), rxQueue.begin() + static_cast<std::ptrdiff_t>(taken));
    return taken;
}

void CSimLink::FlushTx(std::int64_t now) {
    toTarget.clear();
    txFreeAt = std::min(txFreeAt, now);
}

void CSimLink::Send(const std::string& text, std::int64_t notBefore) {
    std::string wire = text;
    for (char& c : wire) {
        c = static_cast<char>(~c);
    }
    SendRaw(wire, notBefore);
}

void CSimLink::SendRaw(const std::string& bytes, std::int64_t notBefore) {
    if (bytes.empty()) {
        return;
    }
    const std::int64_t start = std::max(notBefore, rxFreeAt);
    rxFreeAt = start + SimWireMicros(static_cast<std::int64_t>(bytes.size()));
    toHost.push_back({rxFreeAt, bytes});
}

void CSimLink::Unplug(std::int64_t at) {
    if (unplugAt < 0 || at < unplugAt) {
        unplugAt = at;
    }
}
