#pragma once
// Lets a source that cannot seek (a network stream) be read from its start
// again, as format detection needs: the first bytes are kept, seeks within
// them work, and forward seeks past them read and discard.
#include <memory>
#include <vector>

#include "io/reader.h"

namespace engine {

class HeadReplayReader : public Reader {
public:
    HeadReplayReader(std::unique_ptr<Reader> inner, size_t keepBytes);

    int64_t Read(void* buffer, size_t count) override;
    bool Seek(uint64_t offset) override;
    uint64_t Tell() const override { return position_; }
    int64_t Size() const override { return inner_->Size(); }
    bool CanSeek() const override { return false; }  // only within the head

private:
    std::unique_ptr<Reader> inner_;
    size_t keep_;
    std::vector<uint8_t> head_;  // the first bytes of the source, up to keep_
    uint64_t position_ = 0;
    uint64_t innerPosition_ = 0;
};

}  // namespace engine
