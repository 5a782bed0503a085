// A target output that records what the target sends, for tests that drive a target directly.
#pragma once

#include <cstdint>
#include <string>
#include <vector>

#include "sim/SimTarget.h"

struct SentMessage {
    enum Kind { TEXT, RAW, UNPLUG } kind;
    std::string text;
    std::int64_t at;
};

class CRecordingOutput final : public ISimTargetOutput {
public:
    void Send(const std::string& text, std::int64_t notBefore) override {
        messages.push_back({SentMessage::TEXT, text, notBefore});
    }
    void SendRaw(const std::string& bytes, std::int64_t notBefore) override {
        messages.push_back({SentMessage::RAW, bytes, notBefore});
    }
    void Unplug(std::int64_t at) override { messages.push_back({SentMessage::UNPLUG, "", at}); }

    // Every text message joined, as the host would read them once all have arrived.
    std::string Text() const {
        std::string all;
        for (const SentMessage& m : messages) {
            if (m.kind == SentMessage::TEXT) {
                all += m.text;
            }
        }
        return all;
    }
    bool Unplugged() const {
        for (const SentMessage& m : messages) {
            if (m.kind == SentMessage::UNPLUG) {
                return true;
            }
        }
        return false;
    }
    void Clear() { messages.clear(); }

    std::vector<SentMessage> messages;
};
