#pragma once
// Walking from frame to frame in a buffer without decoding.
#include <cstddef>
#include <cstdint>

#include "mpeg.h"

namespace mpeg {

// Whether a free-format frame may span `bytes` up to the next header: layer I counts in
// four-byte slots, and no frame is smaller than its header and side information.
bool PlausibleFreeFormatSize(const FrameHeader& header, int bytes);

// Size of the frame at `pos` if one starts there: its header parses, agrees with `stream`
// (when given) and fits in the data; with `confirm`, the next header must agree too (unless
// the data ends first). 0 otherwise. Free-format sizes come from the distance to the next
// header.
int FrameAt(const uint8_t* data, size_t size, size_t pos, const FrameHeader* stream, bool confirm,
            FrameHeader& header);

// The frame right after one of the same stream needs no confirmation; anywhere else
// FindFrame looks for a confirmed one. Returns the frame's position, `size` when none.
size_t NextFrame(const uint8_t* data, size_t size, size_t pos, const FrameHeader& stream, FrameHeader& header,
                 int& frameBytes);

// First position from `pos` on where FrameAt finds a frame; `size` when none.
size_t FindFrame(const uint8_t* data, size_t size, size_t pos, const FrameHeader* stream, FrameHeader& header,
                 int& frameBytes);

}  // namespace mpeg
