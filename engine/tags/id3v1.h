#pragma once
// ID3v1 and ID3v1.1: the fixed 128-byte tag at the end of MP3 files. Fields are
// Latin-1 (kept when they are valid UTF-8), padded with zeros or blanks.
#include <cstddef>
#include <cstdint>
#include <string>

#include "tags/tag_list.h"

namespace engine {

constexpr size_t kId3v1Size = 128;

// Adds the non-empty fields (TITLE, ARTIST, ALBUM, YEAR, COMMENT, TRACK, GENRE);
// false when the bytes are not an ID3v1 tag.
bool ReadId3v1(const uint8_t* tag, TagList& tags);
// The name of a numbered ID3 genre (0..147), or empty for other numbers.
std::string Id3GenreName(int number);
// "(17)", "17" or "(17)Rock" as stored in ID3v2 genre frames: the genre's name;
// any other text is returned unchanged.
std::string ResolveId3Genre(const std::string& text);

}  // namespace engine
