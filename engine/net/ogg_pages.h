#pragma once
// Whole Ogg pages off a stream, and the check that a link's comment header can
// be handed to the Vorbis decoder (which trusts the lengths inside it).
#include <cstdint>
#include <vector>

#include "formats/ogg_probe.h"
#include "io/reader.h"

namespace engine {

struct OggPage {
    OggPageHeader header;
    std::vector<uint8_t> bytes;  // the whole page, header included
};

// False at the end of the stream or where no page starts.
bool ReadOggPage(Reader& in, OggPage& page);

enum class CommentHeader { kIncomplete, kSound, kBroken };

// `pages` holds whole pages of one link from its first; the first page carries the
// identification header alone, the comment header is the packet after it.
CommentHeader CheckCommentHeader(const std::vector<uint8_t>& pages);

}  // namespace engine
