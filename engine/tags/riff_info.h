#pragma once
// Text tags of containers without a tag type of their own: RIFF INFO lists
// (WAV) and the AIFF text chunks. They are reported with FMOD_TAGTYPE_FMOD and
// the common names (TITLE, ARTIST, ...) where the field has one.
#include <cstddef>
#include <cstdint>
#include <string_view>

#include "tags/tag_list.h"

namespace engine {

constexpr FMOD_TAGTYPE kContainerTagType = FMOD_TAGTYPE_FMOD;

// The sub-chunks of a LIST/INFO chunk, after its "INFO" identifier.
void ReadRiffInfo(const uint8_t* data, size_t size, TagList& tags);
// One text field: fixed-width, zero-padded, in UTF-8 or Latin-1.
void AddContainerText(TagList& tags, std::string_view name, std::string_view raw);

}  // namespace engine
