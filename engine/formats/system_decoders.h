#pragma once
// Formats decoded by the system's own decoders (fmodex.dll only): the platform hands
// these rows to OpenByContent (see api/platform.h).
#include "formats/format_open.h"

namespace engine {

// WMA and other audio in ASF through the Windows Media runtime (wm_decoder_win.cpp).
FMOD_RESULT OpenWindowsMedia(std::unique_ptr<Reader>& reader, TagList& tags, OpenedSound& out);
// AAC in MP4/M4A and ADTS through Media Foundation's source reader (mf_decoder_win.cpp); ADTS
// it cannot take goes to OpenAacTransform.
FMOD_RESULT OpenMediaFoundation(std::unique_ptr<Reader>& reader, TagList& tags, OpenedSound& out);
// ADTS frame by frame through the system's AAC decoder transform, for sources that cannot seek
// (aac_transform_win.cpp); no length, no seeking.
FMOD_RESULT OpenAacTransform(std::unique_ptr<Reader>& reader, TagList& tags, OpenedSound& out);
// Portable (aac_probe.cpp): "ftyp" at byte 4; ADTS frames in a row (two from the start, or three).
int ProbeMp4(const uint8_t* head, size_t size);
int ProbeAdts(const uint8_t* head, size_t size);
// Portable (mp4_tag_reader.cpp): the iTunes-style tags from the file's moov box (tags/mp4_tags.h);
// false when no moov box was found or read.
bool ReadMp4Tags(Reader& reader, TagList& tags);

extern const FormatEntry kSystemFormats[];
extern const size_t kSystemFormatCount;

}  // namespace engine
