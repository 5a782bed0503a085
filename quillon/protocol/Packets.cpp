// Packet splitting for the version read-outs of both updater dialogs.
#include "quillon/protocol/Packets.h"

#include "quillon/protocol/WireTexts.h"

std::optional<std::u16string_view> NextPacket(std::u16string_view& rest) {
    const std::size_t open = rest.find(PACKET_OPEN);
    if (open == std::u16string_view::npos) {
        rest = {};
        return std::nullopt;
    }
    rest.remove_prefix(open);
    const std::size_t close = rest.find(PACKET_CLOSE);
    if (close == std::u16string_view::npos) {
        return std::nullopt;
    }
    const std::u16string_view packet = rest.substr(0, close + 1);
    rest.remove_prefix(close + 1);
    return packet;
}

std::optional<std::u16string_view> PacketValue(std::u16string_view packet,
                                               std::u16string_view prefix) {
    if (!packet.starts_with(prefix)) {
        return std::nullopt;
    }
    const std::u16string_view value = packet.substr(prefix.size());
    return value.substr(0, value.find(PACKET_CLOSE));
}
