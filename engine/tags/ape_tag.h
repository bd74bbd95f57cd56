#pragma once
// APE tags (version 1 and 2) sit at the end of MP3 files, before an ID3v1 tag if any.
// We do not report their fields; we only keep them out of the audio data.
#include <cstddef>
#include <cstdint>

namespace engine {

constexpr size_t kApeFooterSize = 32;

// `footer` holds the last 32 bytes before the end of the audio data. Returns how many
// bytes the tag takes there (items, footer and the optional header), or 0 when the
// bytes are no APE footer or the tag would be larger than `available`.
uint64_t ApeTagSize(const uint8_t* footer, uint64_t available);

}  // namespace engine
