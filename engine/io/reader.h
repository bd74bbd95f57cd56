#pragma once
// Byte sources for containers, decoders and playlist readers. Local files and
// memory can seek; network streams (later) cannot and say so in CanSeek().
#include <cstddef>
#include <cstdint>

namespace engine {

class Reader {
public:
    virtual ~Reader() = default;
    // Up to count bytes; returns the number read (0 at the end) or -1 on an error.
    virtual int64_t Read(void* buffer, size_t count) = 0;
    // Absolute position; false when the source cannot seek or offset lies past the end.
    virtual bool Seek(uint64_t offset) = 0;
    virtual uint64_t Tell() const = 0;
    // Total size in bytes, or -1 when it is not known (live streams).
    virtual int64_t Size() const = 0;
    virtual bool CanSeek() const = 0;
};

// Reads exactly count bytes; false on a short read or an error.
bool ReadExact(Reader& reader, void* buffer, size_t count);
// Moves forward by count bytes, by seeking where possible, else by reading.
bool SkipBytes(Reader& reader, uint64_t count);
// Bytes from the current position to the end, or -1 when the size is unknown.
int64_t BytesLeft(const Reader& reader);

}  // namespace engine
