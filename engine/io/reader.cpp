#include "io/reader.h"

namespace engine {

bool ReadExact(Reader& reader, void* buffer, size_t count) {
    auto* out = static_cast<uint8_t*>(buffer);
    size_t done = 0;
    while (done < count) {
        int64_t n = reader.Read(out + done, count - done);
        if (n <= 0) return false;
        done += static_cast<size_t>(n);
    }
    return true;
}

bool SkipBytes(Reader& reader, uint64_t count) {
    if (reader.CanSeek()) return reader.Seek(reader.Tell() + count);
    uint8_t scratch[4096];
    while (count > 0) {
        size_t step = count < sizeof scratch ? static_cast<size_t>(count) : sizeof scratch;
        int64_t n = reader.Read(scratch, step);
        if (n <= 0) return false;
        count -= static_cast<uint64_t>(n);
    }
    return true;
}

int64_t BytesLeft(const Reader& reader) {
    int64_t size = reader.Size();
    if (size < 0) return -1;
    uint64_t pos = reader.Tell();
    return pos >= static_cast<uint64_t>(size) ? 0 : size - static_cast<int64_t>(pos);
}

}  // namespace engine
