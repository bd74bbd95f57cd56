#pragma once
// Packets of one logical Ogg stream, put together from its pages: lacing values of 255
// continue a packet, packets run on across pages. A packet whose start was not seen (the
// stream was joined or resumed mid-packet, a page was lost or damaged) is dropped whole,
// and so is one that grows past the limit. The caller picks the pages of its stream.
#include <cstddef>
#include <cstdint>
#include <vector>

#include "containers/ogg_page.h"

namespace container {

class OggPackets {
public:
    explicit OggPackets(size_t maxPacketBytes) : maxPacketBytes_(maxPacketBytes) {}

    // Takes the packets of a page checked by ParseOggPage. A gap in the page sequence
    // loses the packet left open.
    void AddPage(const OggPage& page);
    // A page went missing (damaged, or the reader moved): the open packet is lost, and
    // so is the rest of it on the next page.
    void LosePage();
    // As at the start of a stream after a jump: nothing queued, the sequence unknown.
    void Restart();

    // The oldest complete packet, moved into `out`; false when none is queued.
    bool Next(std::vector<uint8_t>& out);
    // Puts a packet back in front of the queue.
    void PutBack(std::vector<uint8_t> packet);
    size_t Queued() const { return ready_.size() - readyPos_; }
    // Bytes of the packet still open at the end of the last page.
    size_t OpenBytes() const { return partial_.size(); }
    uint64_t DroppedPackets() const { return dropped_; }

private:
    size_t maxPacketBytes_;
    bool sequenceKnown_ = false;
    uint32_t nextSequence_ = 0;
    std::vector<uint8_t> partial_;  // the packet that continues on the next page
    bool partialValid_ = false;     // false: its start is not seen, drop it up to its end
    std::vector<std::vector<uint8_t>> ready_;
    size_t readyPos_ = 0;
    uint64_t dropped_ = 0;
};

}  // namespace container
