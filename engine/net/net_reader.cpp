#include "net/net_reader.h"

#include "net/timeouts.h"

namespace engine {

int64_t NetReader::Read(void* buffer, size_t count) {
    if (count == 0) return 0;
    const int64_t got = stream_->Take(buffer, count, kStallTimeoutMs);
    if (got == -2) return -1;  // nothing for the whole stall time: as good as a broken connection
    if (got > 0) position_ += static_cast<uint64_t>(got);
    return got;
}

}  // namespace engine
