#pragma once
// The compressed formats' rows of the format table (see format_open.h).
#include "formats/format_open.h"

namespace engine {

FMOD_RESULT OpenMpeg(std::unique_ptr<Reader>& reader, TagList& tags, OpenedSound& out);
int ProbeMpeg(const uint8_t* head, size_t size);
// Native FLAC (also behind an ID3v2 tag) and FLAC in Ogg.
FMOD_RESULT OpenFlac(std::unique_ptr<Reader>& reader, TagList& tags, OpenedSound& out);
int ProbeFlac(const uint8_t* head, size_t size);
FMOD_RESULT OpenVorbis(std::unique_ptr<Reader>& reader, TagList& tags, OpenedSound& out);
int ProbeVorbis(const uint8_t* head, size_t size);
// PlayStation ADPCM ("VAGp"); FSB and XMA, recognised only to be refused (format_refusals.cpp).
FMOD_RESULT OpenVag(std::unique_ptr<Reader>& reader, TagList& tags, OpenedSound& out);
int ProbeVag(const uint8_t* head, size_t size);
FMOD_RESULT RefuseFormat(std::unique_ptr<Reader>& reader, TagList& tags, OpenedSound& out);
int ProbeRefusedFormat(const uint8_t* head, size_t size);
// Standard MIDI Files and RIFF MIDI through our synthesizer; a DLS bank plays its waves.
FMOD_RESULT OpenMidi(std::unique_ptr<Reader>& reader, TagList& tags, OpenedSound& out);
int ProbeMidi(const uint8_t* head, size_t size);
FMOD_RESULT OpenDls(std::unique_ptr<Reader>& reader, TagList& tags, OpenedSound& out);
int ProbeDls(const uint8_t* head, size_t size);
// Tracker modules: MOD, S3M, XM and IT (the whole file in memory).
FMOD_RESULT OpenModule(std::unique_ptr<Reader>& reader, TagList& tags, OpenedSound& out);
int ProbeModule(const uint8_t* head, size_t size);

}  // namespace engine
