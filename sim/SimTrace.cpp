// Trace lines of the simulated Bramlet and the escaping of their text.
#include "sim/SimTrace.h"

#include <cstdio>

std::string EscapeTraceText(std::string_view text) {
    std::string escaped;
    for (const char c : text) {
        const auto byte = static_cast<unsigned char>(c);
        if (c == '\n') {
            escaped += "\\n";
        } else if (c == '\r') {
            escaped += "\\r";
        } else if (c == '\\') {
            escaped += "\\\\";
        } else if (byte < 0x20 || byte > 0x7E) {
            char hex[5];
            std::snprintf(hex, sizeof hex, "\\x%02X", byte);
            escaped += hex;
        } else {
            escaped += c;
        }
    }
    return escaped;
}

CSimTrace::CSimTrace(const std::string& path, std::int64_t startMicros) : start(startMicros) {
    if (!path.empty()) {
        out.open(path, std::ios::binary | std::ios::app);
    }
}

void CSimTrace::Line(std::int64_t nowMicros, std::string_view event, std::string_view detail) {
    if (!out.is_open()) {
        return;
    }
    std::string line = std::to_string((nowMicros - start) / 1000) + " ";
    line += event;
    if (!detail.empty()) {
        line += " ";
        line += detail;
    }
    line += "\n";
    out << line << std::flush;
}
