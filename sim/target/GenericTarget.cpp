// The generic target's behaviour: latch decoding, the report, the command table, the record
// transfer with block acknowledgement, and the fault switches.
#include "sim/target/GenericTarget.h"

#include <array>
#include <utility>

#include "sim/target/IntelHexRecord.h"
#include "sim/target/TargetBlockSize.h"

namespace {

// GPIO latch bits as the target sees them.
constexpr std::uint8_t SELECT_LINES = 0x03;    // GPIO1, GPIO0
constexpr std::uint8_t ATTENTION_LINE = 0x04;  // GPIO2: a fall asks for a report
constexpr std::uint8_t POWER_LINE = 0x08;      // GPIO3: low powers the target
constexpr std::uint8_t SELECT_LISTEN = 0x01;   // GPIO1 low, GPIO0 high: report, then listen
constexpr std::uint8_t SELECT_REPORT = 0x02;   // GPIO1 high, GPIO0 low: report only
// The bridge's latch before the host first drives it: every line high, target unpowered.
constexpr std::uint8_t LATCH_AT_START = 0xFF;

// A host packet longer than this is noise: the host never writes more than 4095 bytes at once.
constexpr std::size_t PACKET_LIMIT = 4096;

// Commands the target answers, as the host sends them (line feeds fall between packets).
constexpr const char* CMD_SYNC = "[cmd<sync>]";
constexpr const char* CMD_ERASE = "[cmd<erase>]";
constexpr const char* CMD_UPDATE_START = "[cmd<update>start]";
constexpr const char* CMD_UPDATE_END = "[cmd<update>end]";
constexpr const char* INFO_FILE_NAME = "[info<file_name>";
constexpr const char* INFO_FILE_SIZE = "[info<file_size>";

// What the target says.
constexpr const char* REPORT_BOOTLOADER = "[info<btldr>";
constexpr const char* REPORT_MODEL = "[info<";
constexpr const char* RES_SYNC_OK = "[res<sync>ok]";
constexpr const char* RES_ERASE_OK = "[res<erase>ok]";
constexpr const char* RES_UPDATE_OK = "[res<update>ok]\n";
constexpr const char* RES_UPDATE_NEXT = "[res<update>next]";
constexpr const char* RES_UPDATE_COMPLETE = "[res<update>complete]";
constexpr const char* RES_UPDATE_END = "[res<update>end]";
constexpr const char* RES_UPDATE_BAD_PARSE = "[res<update>bad parse]";
constexpr const char* RES_UPDATE_CHECKSUM = "[res<update>error]kmx-cksum";

struct FaultReply {
    RecordFault fault;
    const char* reply;
};

constexpr std::array<FaultReply, 4> FAULT_REPLIES{{
    {RecordFault::BAD_PARSE, RES_UPDATE_BAD_PARSE},
    {RecordFault::INNER, "[res<update>inner]"},
    {RecordFault::OUTER, "[res<update>outer]"},
    {RecordFault::ERROR_REPLY, "[res<update>error]"},
}};

bool StartsWith(const std::string& text, const char* prefix) {
    return text.rfind(prefix, 0) == 0;
}

// The payload of "[info<name>payload]".
std::string Payload(const std::string& packet, const char* prefix) {
    std::size_t start = std::char_traits<char>::length(prefix);
    return packet.substr(start, packet.size() - start - 1);
}

}  // namespace

CGenericTarget::CGenericTarget(TargetSettings settings)
    : settings(std::move(settings)),
      firmware(this->settings.firmware),
      recordsPerBlock(this->settings.blockSize > 0
                          ? this->settings.blockSize
                          : TargetRecordsPerBlock(this->settings.model, this->settings.bootloader)),
      latch(LATCH_AT_START) {}

bool CGenericTarget::IsPowered() const {
    return (latch & POWER_LINE) == 0;
}

void CGenericTarget::OnLatch(std::uint8_t newLatch, std::int64_t now, ISimTargetOutput& output) {
    bool wasPowered = IsPowered();
    bool attentionFell = (latch & ATTENTION_LINE) != 0 && (newLatch & ATTENTION_LINE) == 0;
    latch = newLatch;
    if (!IsPowered()) {
        // Losing power drops whatever the target was doing.
        listening = false;
        inPacket = false;
        if (wasPowered) {
            StartSession();
        }
        return;
    }
    std::uint8_t select = latch & SELECT_LINES;
    if (attentionFell && (select == SELECT_LISTEN || select == SELECT_REPORT)) {
        Report(now, output);
    }
    bool nowListening = select == SELECT_LISTEN && (latch & ATTENTION_LINE) == 0;
    if (nowListening && !listening) {
        StartSession();
    }
    listening = nowListening;
}

void CGenericTarget::Report(std::int64_t now, ISimTargetOutput& output) {
    std::int64_t at = now + settings.replyMicros;
    if (settings.leadingZeros > 0) {
        output.SendRaw(std::string(static_cast<std::size_t>(settings.leadingZeros), '\0'), at);
    }
    Deliver(REPORT_BOOTLOADER + settings.bootloader + "]" + REPORT_MODEL + settings.reportedModel +
                ">" + firmware + "]",
            at, output);
}

void CGenericTarget::StartSession() {
    inPacket = false;
    fileName.clear();
    fileSize.clear();
    transfer = Transfer::IDLE;
    updated = false;
    packetCount = 0;
    packetsInBlock = 0;
}

void CGenericTarget::OnHostByte(char byte, std::int64_t now, ISimTargetOutput& output) {
    if (!listening || transfer == Transfer::STOPPED) {
        return;
    }
    if (byte == '[') {
        packet.assign(1, byte);
        inPacket = true;
        return;
    }
    if (!inPacket) {
        return;  // line feeds and anything else between packets
    }
    packet.push_back(byte);
    if (byte == ']') {
        inPacket = false;
        HandlePacket(packet, now, output);
    } else if (packet.size() >= PACKET_LIMIT) {
        inPacket = false;
    }
}

void CGenericTarget::HandlePacket(const std::string& text, std::int64_t now,
                                  ISimTargetOutput& output) {
    if (HandleCommand(text, now, output) || HandleFileInfo(text)) {
        return;
    }
    if (transfer == Transfer::RECEIVING) {
        OnRecordPacket(text.substr(1, text.size() - 2), now, output);
    }
}

bool CGenericTarget::HandleCommand(const std::string& text, std::int64_t now,
                                   ISimTargetOutput& output) {
    using Handler = void (CGenericTarget::*)(std::int64_t, ISimTargetOutput&);
    struct Command {
        const char* text;
        Handler handler;
    };
    static constexpr std::array<Command, 4> COMMANDS{{
        {CMD_SYNC, &CGenericTarget::OnSync},
        {CMD_ERASE, &CGenericTarget::OnErase},
        {CMD_UPDATE_START, &CGenericTarget::OnUpdateStart},
        {CMD_UPDATE_END, &CGenericTarget::OnUpdateEnd},
    }};
    for (const Command& command : COMMANDS) {
        if (text == command.text) {
            (this->*command.handler)(now, output);
            return true;
        }
    }
    return false;
}

bool CGenericTarget::HandleFileInfo(const std::string& text) {
    if (StartsWith(text, INFO_FILE_NAME)) {
        fileName = Payload(text, INFO_FILE_NAME);
        return true;
    }
    if (StartsWith(text, INFO_FILE_SIZE)) {
        fileSize = Payload(text, INFO_FILE_SIZE);
        return true;
    }
    return false;
}

void CGenericTarget::OnSync(std::int64_t now, ISimTargetOutput& output) {
    if (UnplugsAt(UnplugPoint::SYNC, now, output) || settings.noSyncReply) {
        return;
    }
    Deliver(RES_SYNC_OK,
            now + (settings.lateSyncReply ? LATE_SYNC_REPLY_MICROS : settings.replyMicros), output);
}

void CGenericTarget::OnErase(std::int64_t now, ISimTargetOutput& output) {
    if (UnplugsAt(UnplugPoint::ERASE, now, output) || settings.eraseNeverConfirmed) {
        return;
    }
    Deliver(RES_ERASE_OK, now + settings.eraseMicros, output);
}

void CGenericTarget::OnUpdateStart(std::int64_t now, ISimTargetOutput& output) {
    if (UnplugsAt(UnplugPoint::START, now, output)) {
        return;
    }
    image.Clear();
    transfer = Transfer::RECEIVING;
    updated = false;
    packetCount = 0;
    packetsInBlock = 0;
    Deliver(RES_UPDATE_OK, now + settings.replyMicros, output);
}

void CGenericTarget::OnUpdateEnd(std::int64_t now, ISimTargetOutput& output) {
    if (UnplugsAt(UnplugPoint::END, now, output) || settings.endNeverConfirmed) {
        return;
    }
    if (transfer == Transfer::COMPLETE && !updated) {
        updated = true;
        if (std::optional<std::string> version = image.Version()) {
            firmware = *version;
        }
    }
    Deliver(RES_UPDATE_END, now + settings.replyMicros, output);
}

void CGenericTarget::OnRecordPacket(const std::string& content, std::int64_t now,
                                    ISimTargetOutput& output) {
    ++packetCount;
    ++packetsInBlock;
    if (InjectRecordFault(now, output)) {
        return;
    }
    // Packets that are not Intel HEX records (the host forwards a file's last line whatever it
    // holds) count towards the block but carry nothing.
    if (!content.empty() && content.front() == ':' && !TakeRecord(content, now, output)) {
        return;
    }
    if (transfer == Transfer::COMPLETE) {
        Deliver(RES_UPDATE_COMPLETE, now + settings.replyMicros, output);
        return;
    }
    if (packetsInBlock >= recordsPerBlock) {
        packetsInBlock = 0;
        Deliver(settings.blockReplyNext ? RES_UPDATE_NEXT : RES_UPDATE_OK,
                now + settings.replyMicros, output);
    }
}

bool CGenericTarget::InjectRecordFault(std::int64_t now, ISimTargetOutput& output) {
    if (settings.recordFault == RecordFault::NONE || packetCount != settings.recordFaultAt) {
        return false;
    }
    transfer = Transfer::STOPPED;
    if (settings.recordFault == RecordFault::UNPLUG) {
        output.Unplug(now);
    }
    for (const FaultReply& entry : FAULT_REPLIES) {
        if (entry.fault == settings.recordFault) {
            Deliver(entry.reply, now + settings.replyMicros, output);
        }
    }
    return true;
}

bool CGenericTarget::TakeRecord(const std::string& content, std::int64_t now,
                                ISimTargetOutput& output) {
    HexRecord record;
    switch (ParseHexRecord(content, record)) {
        case HexParse::MALFORMED:
            Fail(RES_UPDATE_BAD_PARSE, now, output);
            return false;
        case HexParse::BAD_CHECKSUM:
            Fail(RES_UPDATE_CHECKSUM, now, output);
            return false;
        case HexParse::OK:
            break;
    }
    if (!image.Apply(record)) {
        Fail(RES_UPDATE_BAD_PARSE, now, output);
        return false;
    }
    if (record.type == HEX_END_OF_FILE) {
        transfer = Transfer::COMPLETE;
    }
    return true;
}

void CGenericTarget::Fail(const std::string& reply, std::int64_t now, ISimTargetOutput& output) {
    transfer = Transfer::STOPPED;
    Deliver(reply, now + settings.replyMicros, output);
}

bool CGenericTarget::UnplugsAt(UnplugPoint point, std::int64_t now, ISimTargetOutput& output) {
    if (settings.unplugAt != point) {
        return false;
    }
    output.Unplug(now);
    return true;
}

void CGenericTarget::Deliver(const std::string& text, std::int64_t at, ISimTargetOutput& output) {
    if (!settings.splitReplies || text.size() < 2) {
        output.Send(text, at);
        return;
    }
    // Cut inside the first packet, so the first piece holds no "]" and the host must read again.
    std::size_t close = text.find(']');
    std::size_t cut = (close == std::string::npos ? text.size() : close) / 2;
    if (cut == 0) {
        cut = 1;
    }
    output.Send(text.substr(0, cut), at);
    output.Send(text.substr(cut), at + settings.splitGapMicros);
}

void CGenericTarget::SaveState(nlohmann::json& targetObject) const {
    targetObject["bootloader"] = settings.bootloader;
    targetObject["firmware"] = firmware;
}
