#pragma once
// Walking from frame to frame in a buffer without decoding: what the decoder's sync search
// and the stream helpers (length, frame index) share.
#include <cstddef>
#include <cstdint>

#include "mpeg/mpeg.h"

namespace mpeg {

// Free-format frames may be up to this long.
constexpr int kMaxFreeFormatBytes = 4096;

// Distance from a free-format header at `p` to the next header of the same stream at a
// plausible distance; 0 when none lies within the `available` bytes.
int FreeFormatDistance(const FrameHeader& header, const uint8_t* p, size_t available);

// Size of a free-format frame of the same stream as one of `bytes`: the same but for padding.
int FreeFormatSibling(const FrameHeader& header, int bytes, const FrameHeader& sibling);

enum class Confirmation { Confirmed, Rejected, Undecided };

// Looks at the two headers that should follow the frame of `bytes` at `p`: Rejected when
// one disagrees with it, Undecided when the data ends before both are seen.
Confirmation ConfirmFrame(const FrameHeader& header, int bytes, const uint8_t* p, size_t available);

// Size of the frame at `pos` if one starts there: its header parses, agrees with `stream`
// (when given) and fits in the data; with `confirm`, ConfirmFrame must not reject it.
// 0 otherwise.
int FrameAt(const uint8_t* data, size_t size, size_t pos, const FrameHeader* stream, bool confirm,
            FrameHeader& header);

// First position from `pos` on where a confirmed frame starts; `size` when none.
size_t FindFrame(const uint8_t* data, size_t size, size_t pos, const FrameHeader* stream, FrameHeader& header,
                 int& frameBytes);

// The frame right after one of the same stream needs no confirmation; anywhere else
// FindFrame looks for a confirmed one. Returns the frame's position, `size` when none.
size_t NextFrame(const uint8_t* data, size_t size, size_t pos, const FrameHeader& stream, FrameHeader& header,
                 int& frameBytes);

}  // namespace mpeg
