// The update file as the transfer reads it: whole lines without their line ends, with one line
// read ahead so that the reader knows when the real end of the file has been reached.
#pragma once

#include <cstdint>
#include <string>

#include "platform/textfile/TextFile.h"

// Every line is counted as its length plus 2, as if it ended in CR LF. The count sizes the
// announcement and the progress; the real end of the file, not the count, ends the reading, so
// files with other line ends lose no line.
inline std::uint64_t CountedLength(const std::string& line) {
    return line.size() + 2;
}

class CLineFile {
public:
    bool Open(const std::string& path);
    void Close();
    bool IsOpen() const { return file.IsOpen(); }
    std::uint64_t GetLength() const { return file.GetLength(); }
    void SeekToBegin();
    // Reads the next line; false, with line empty, when no line is left.
    bool ReadLine(std::string& line);
    // True when no line is left to read.
    bool AtEnd() const { return !hasNext; }

private:
    void ReadAhead();

    CTextFile file;
    std::string next;
    bool hasNext = false;
};
