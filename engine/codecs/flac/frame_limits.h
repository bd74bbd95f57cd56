#pragma once
#include <cstddef>

namespace flac {

// No valid frame is larger: 8 channels of 65536 verbatim 33-bit samples plus headers.
// Anything that claims more is damage, and the buffers never grow beyond it.
constexpr size_t kMaxFrameBytes = 4u << 20;

}  // namespace flac
