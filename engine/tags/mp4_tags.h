#pragma once
// iTunes-style tags of MP4/M4A files (moov/udta/meta/ilst), read from the moov box held in
// memory. Every length is checked against the box around it. Items get the common names
// the ASF tags use (TITLE, ARTIST, ALBUM, YEAR, GENRE, TRACKNUMBER, COMMENT, ...), others
// their own ("©too", a free-form item's name), type FMOD_TAGTYPE_ASF: the system's media
// runtime decodes these files.
#include <cstddef>
#include <cstdint>

#include "tags/tag_list.h"

namespace engine {

constexpr size_t kMp4BoxHeader = 8;
constexpr size_t kMaxMp4MoovBytes = 16 << 20;  // room for cover pictures

// One box inside a parent: its type and body. `at` moves past it. False at the end of the
// parent or at a box whose length does not fit in it.
struct Mp4Box {
    char type[4];
    const uint8_t* body;
    size_t bodySize;
};
bool NextMp4Box(const uint8_t* data, size_t size, size_t& at, Mp4Box& box);

// `moov` is the moov box's body.
void ParseMp4Tags(const uint8_t* moov, size_t size, TagList& tags);

}  // namespace engine
