// Reading text files line by line with the text-mode rules the system's files are written for:
// each byte is one character, a line ends at a line feed, and a carriage return right before
// the line feed is not part of the line. The last line needs no line end.
#pragma once

#include <cstdint>
#include <cstdio>
#include <string>

class CTextFile {
public:
    CTextFile() = default;
    ~CTextFile() { Close(); }
    CTextFile(const CTextFile&) = delete;
    CTextFile& operator=(const CTextFile&) = delete;

    bool Open(const std::string& path);
    void Close();
    bool IsOpen() const { return file != nullptr; }
    // Length of the file in bytes.
    std::uint64_t GetLength() const;
    void SeekToBegin();
    // Reads the next line without its line end. Returns false, with line empty, when the end of
    // the file had already been reached.
    bool ReadLine(std::string& line);
    // True once a read has met the end of the file.
    bool AtEnd() const { return atEnd; }

private:
    std::FILE* file = nullptr;
    bool atEnd = false;
};
