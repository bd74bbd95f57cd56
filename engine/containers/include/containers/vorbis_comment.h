#pragma once
// The Vorbis comment structure, as Ogg Vorbis, Ogg FLAC and FLAC carry it: vendor length
// and text, field count, then each "NAME=value" field with its length (little-endian).
#include <cstddef>
#include <cstdint>
#include <string>
#include <vector>

namespace container {

struct VorbisComments {
    std::string vendor;
    std::vector<std::string> fields;  // as stored, in order
    bool whole = false;               // every field the count promises lies within the data
};

// Reads the fields that fit; a count or a length past the data ends the list (and leaves
// `whole` false), so nothing is reserved or copied beyond what the data holds. False
// when the vendor or the count itself runs past the data.
bool ParseVorbisComments(const uint8_t* data, size_t size, VorbisComments& out);

}  // namespace container
