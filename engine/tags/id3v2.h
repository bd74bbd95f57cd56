#pragma once
// ID3v2.2, 2.3 and 2.4 tags (MP3 files, AIFF and WAV "ID3 " chunks). Text frames
// with a common meaning get the common name (TITLE, ARTIST, ...), TXXX frames
// their description (e.g. replaygain_track_gain), other text frames their frame
// identifier, link frames (W...) their URL. Other frames (pictures, binary data) are
// skipped.
#include <cstddef>
#include <cstdint>

#include "containers/id3v2_size.h"
#include "tags/tag_list.h"

namespace engine {

// Adds the tag's frames in file order; damaged frames end the walk, never more.
void ReadId3v2(const uint8_t* data, size_t size, TagList& tags);

}  // namespace engine
