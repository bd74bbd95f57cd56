#pragma once
// Vorbis comments ("NAME=value" fields, UTF-8), as FLAC and Ogg files carry them.
// Each field becomes a tag of type VORBISCOMMENT named as the file names it.
#include <cstddef>
#include <cstdint>
#include <string>
#include <string_view>
#include <vector>

#include "tags/tag_list.h"

namespace engine {

// One "NAME=value" field; fields without '=' or with an empty name are dropped.
void AddVorbisComment(std::string_view field, TagList& tags);
void AddVorbisComments(const std::vector<std::string>& fields, TagList& tags);
// The comment structure itself (containers/vorbis_comment.h). Reads what fits; false when
// the vendor or the count runs past the data.
bool ReadVorbisCommentBlock(const uint8_t* data, size_t size, TagList& tags);

}  // namespace engine
