// The simulator's event trace: one line per event, "<ms since start> <event> <detail>", appended
// to the file named by BRAMLET_SIM_TRACE.
#pragma once

#include <cstdint>
#include <fstream>
#include <string>
#include <string_view>

// Escapes text for one trace line: \n, \r and \\ by name, other bytes outside 0x20-0x7E as \xNN.
std::string EscapeTraceText(std::string_view text);

class CSimTrace {
public:
    // An empty path traces nothing. Times are reported relative to startMicros.
    CSimTrace(const std::string& path, std::int64_t startMicros);

    bool Enabled() const { return out.is_open(); }
    // Appends "<ms> <event>" or "<ms> <event> <detail>"; each line is flushed at once so that
    // lines of two processes sharing the file do not interleave mid-line.
    void Line(std::int64_t nowMicros, std::string_view event, std::string_view detail = {});

private:
    std::ofstream out;
    std::int64_t start;
};
