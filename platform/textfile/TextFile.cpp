// Line reading with CR LF and LF line ends read alike.
#include "platform/textfile/TextFile.h"

#include <sys/stat.h>

bool CTextFile::Open(const std::string& path) {
    Close();
    file = std::fopen(path.c_str(), "rb");
    atEnd = false;
    if (file == nullptr) {
        return false;
    }
    struct stat info {};
    if (fstat(fileno(file), &info) != 0 || !S_ISREG(info.st_mode)) {
        Close();
        return false;
    }
    return true;
}

void CTextFile::Close() {
    if (file != nullptr) {
        std::fclose(file);
        file = nullptr;
    }
}

std::uint64_t CTextFile::GetLength() const {
    struct stat info {};
    if (file == nullptr || fstat(fileno(file), &info) != 0) {
        return 0;
    }
    return static_cast<std::uint64_t>(info.st_size);
}

void CTextFile::SeekToBegin() {
    if (file != nullptr) {
        std::rewind(file);
        atEnd = false;
    }
}

bool CTextFile::ReadLine(std::string& line) {
    line.clear();
    if (file == nullptr || atEnd) {
        return false;
    }
    int ch = 0;
    bool gotAny = false;
    while ((ch = std::fgetc(file)) != EOF) {
        gotAny = true;
        if (ch == '\n') {
            if (!line.empty() && line.back() == '\r') {
                line.pop_back();
            }
            return true;
        }
        line.push_back(static_cast<char>(ch));
    }
    atEnd = true;
    return gotAny;
}
