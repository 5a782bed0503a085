// Reading the target's replies: the per-call reception buffer, the single read, and the
// completion re-read that joins a reply split over two reads.
#pragma once

#include <string>
#include <string_view>

class CBridgePort;

// Characters in a reception buffer; a read never fills more than RECEPTION_SIZE - 1, so the
// text stays zero-terminated.
constexpr int RECEPTION_SIZE = 4096;
// Wait before the second read of the completion re-read.
constexpr unsigned COMPLETION_WAIT_MS = 25;

// A zero-filled buffer obtained for one call and released when the call returns. Allocation
// never throws: a buffer that cannot be had reports !Ok() and the caller takes its memory
// failure path.
class CReceptionBuffer {
public:
    CReceptionBuffer();
    ~CReceptionBuffer();
    CReceptionBuffer(const CReceptionBuffer&) = delete;
    CReceptionBuffer& operator=(const CReceptionBuffer&) = delete;

    bool Ok() const { return data != nullptr; }
    char16_t* Data() { return data; }
    void Clear();
    // The received text: everything before the first zero.
    std::u16string_view Text() const;

private:
    char16_t* data;
};

// Clears the buffer and reads once; info becomes what the read delivered. Returns the read's
// count (-1 when nothing was waiting).
int ReadOnce(CBridgePort& port, CReceptionBuffer& buffer, std::u16string& info);

// Reads once and, when that read delivered text without a closing bracket, waits 25 ms and
// reads exactly once more, appending. Returns the first read's count.
int ReadCompleted(CBridgePort& port, CReceptionBuffer& buffer, std::u16string& info);
