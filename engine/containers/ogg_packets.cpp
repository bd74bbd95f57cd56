#include "containers/ogg_packets.h"

namespace container {

void OggPackets::AddPage(const OggPage& page) {
    const bool gap = sequenceKnown_ && page.sequence != nextSequence_;
    sequenceKnown_ = true;
    nextSequence_ = page.sequence + 1;
    if (!(page.flags & kOggContinued)) {
        if (!partial_.empty()) ++dropped_;  // a packet left open before is lost
        partial_.clear();
        partialValid_ = true;
    } else if (gap) {
        LosePage();
    }
    if (readyPos_ == ready_.size()) {
        ready_.clear();
        readyPos_ = 0;
    }
    const uint8_t* at = page.body;
    for (unsigned i = 0; i < page.segments; ++i) {
        const uint8_t lace = page.lacing[i];
        if (partialValid_) {
            if (partial_.size() + lace > maxPacketBytes_) {
                partial_.clear();
                partialValid_ = false;
            } else {
                partial_.insert(partial_.end(), at, at + lace);
            }
        }
        at += lace;
        if (lace < 255) {
            if (partialValid_) ready_.push_back(std::move(partial_));
            else ++dropped_;
            partial_.clear();
            partialValid_ = true;
        }
    }
}

void OggPackets::LosePage() {
    partial_.clear();
    partialValid_ = false;
}

void OggPackets::Restart() {
    LosePage();
    sequenceKnown_ = false;
    ready_.clear();
    readyPos_ = 0;
}

bool OggPackets::Next(std::vector<uint8_t>& out) {
    if (readyPos_ == ready_.size()) return false;
    out = std::move(ready_[readyPos_++]);
    return true;
}

void OggPackets::PutBack(std::vector<uint8_t> packet) {
    ready_.insert(ready_.begin() + static_cast<std::ptrdiff_t>(readyPos_), std::move(packet));
}

}  // namespace container
