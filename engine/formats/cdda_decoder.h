#pragma once
// An audio CD as one stream: its audio tracks in order (data tracks skipped), 16-bit
// stereo at 44,100 Hz, seekable to the frame. Tags: TRACKS, the disc's ALBUM and ARTIST
// from CD-Text, and TITLE and ARTIST of the track being decoded (updated as it changes;
// "Track N" without CD-Text).
#include <memory>

#include "io/cd_device.h"
#include "formats/format_open.h"

namespace engine {

// Reads the table of contents (and CD-Text); the decoder reads sectors only when asked
// for audio. FMOD_ERR_CDDA_NODISC, FMOD_ERR_CDDA_NOAUDIO or FMOD_ERR_CDDA_READ on failure.
FMOD_RESULT OpenCdda(std::unique_ptr<CdDevice> device, const std::shared_ptr<TagList>& tags, OpenedSound& out);

}  // namespace engine
