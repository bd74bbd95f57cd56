#pragma once
// One entry per container or playlist format: a content check on the first
// bytes and an open function. New formats (MPEG, FLAC, Ogg Vorbis, streams)
// add a row to the table in format_registry.cpp and change nothing else.
#include <memory>

#include "formats/decoder.h"
#include "tags/tag_list.h"

namespace engine {

struct OpenedSound {
    std::unique_ptr<Decoder> decoder;  // null for playlists (tags only)
    StreamFormat format;
};

// Opens from the reader's start. On success an audio format takes the reader
// (moves it into its decoder); on failure it leaves it for the next candidate.
using OpenFormatFn = FMOD_RESULT (*)(std::unique_ptr<Reader>& reader, TagList& tags, OpenedSound& out);
// 0: not this format; higher values win (100 for a magic number, 80 and more for a text
// signature, less for guesses, so that every signature is tried first).
using ProbeFormatFn = int (*)(const uint8_t* head, size_t size);

struct FormatEntry {
    const char* name;
    ProbeFormatFn probe;
    OpenFormatFn open;
};

constexpr size_t kProbeBytes = 4096;

FMOD_RESULT OpenWav(std::unique_ptr<Reader>& reader, TagList& tags, OpenedSound& out);
int ProbeWav(const uint8_t* head, size_t size);
FMOD_RESULT OpenAiff(std::unique_ptr<Reader>& reader, TagList& tags, OpenedSound& out);
int ProbeAiff(const uint8_t* head, size_t size);
FMOD_RESULT OpenPlaylist(std::unique_ptr<Reader>& reader, TagList& tags, OpenedSound& out);
int ProbePlaylist(const uint8_t* head, size_t size);

// What the caller knows beyond the content.
struct OpenHints {
    // The file's name ends in ".raw": when no format recognises the content, it plays as
    // headerless 16-bit little-endian stereo at 44,100 Hz. Other unknown files stay refused.
    bool headerlessRaw = false;
    // Rows for the formats the system decodes (fmodex.dll: Windows Media, Media Foundation),
    // tried with the table's own rows by score.
    const FormatEntry* systemFormats = nullptr;
    size_t systemFormatCount = 0;
};

// Reads the head, tries every format whose probe accepts it, best score first.
FMOD_RESULT OpenByContent(std::unique_ptr<Reader> reader, TagList& tags, OpenedSound& out,
                          const OpenHints& hints = {});
// Whether a file name ends in ".raw", in any case.
bool NamesRawFile(const char* path);
FMOD_RESULT OpenRaw(std::unique_ptr<Reader>& reader, TagList& tags, OpenedSound& out);

}  // namespace engine
