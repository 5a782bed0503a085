// Line reading with one line of look-ahead over the platform's text file reader.
#include "quillon/protocol/LineFile.h"

bool CLineFile::Open(const std::string& path) {
    hasNext = false;
    if (!file.Open(path)) {
        return false;
    }
    ReadAhead();
    return true;
}

void CLineFile::Close() {
    file.Close();
    next.clear();
    hasNext = false;
}

void CLineFile::SeekToBegin() {
    if (!file.IsOpen()) {
        return;
    }
    file.SeekToBegin();
    ReadAhead();
}

bool CLineFile::ReadLine(std::string& line) {
    if (!hasNext) {
        line.clear();
        return false;
    }
    line.swap(next);
    ReadAhead();
    return true;
}

void CLineFile::ReadAhead() {
    hasNext = file.ReadLine(next);
}
