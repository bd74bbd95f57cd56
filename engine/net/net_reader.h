#pragma once
// The bytes of a network stream as a Reader: no seeking, no known size. Reads
// wait for the network thread, at most the stall time-out.
#include <memory>

#include "io/reader.h"
#include "net/net_stream.h"

namespace engine {

class NetReader : public Reader {
public:
    explicit NetReader(std::shared_ptr<NetStream> stream) : stream_(std::move(stream)) {}

    int64_t Read(void* buffer, size_t count) override;
    bool Seek(uint64_t offset) override { return offset == position_; }
    uint64_t Tell() const override { return position_; }
    int64_t Size() const override { return -1; }
    bool CanSeek() const override { return false; }

private:
    std::shared_ptr<NetStream> stream_;
    uint64_t position_ = 0;
};

}  // namespace engine
