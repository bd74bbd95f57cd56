#include <algorithm>
#include <vector>

#include "formats/compressed_formats.h"
#include "formats/format_open.h"
#include "io/head_replay_reader.h"

namespace engine {
namespace {

// Content decides; a name says something only for headerless audio (OpenHints). Order breaks
// ties between equal scores.
const FormatEntry kFormats[] = {
    {"wav", ProbeWav, OpenWav},
    {"aiff", ProbeAiff, OpenAiff},
    {"flac", ProbeFlac, OpenFlac},
    {"vorbis", ProbeVorbis, OpenVorbis},
    {"mpeg", ProbeMpeg, OpenMpeg},
    {"midi", ProbeMidi, OpenMidi},
    {"dls", ProbeDls, OpenDls},
    {"module", ProbeModule, OpenModule},
    {"playlist", ProbePlaylist, OpenPlaylist},
    {"vag", ProbeVag, OpenVag},
    {"refused", ProbeRefusedFormat, RefuseFormat},
};

// A stream is read from its start once per candidate format: this much of it is kept.
constexpr size_t kStreamReplayBytes = 64 * 1024;

}  // namespace

FMOD_RESULT OpenByContent(std::unique_ptr<Reader> reader, TagList& tags, OpenedSound& out, const OpenHints& hints) {
    if (!reader->CanSeek()) reader = std::make_unique<HeadReplayReader>(std::move(reader), kStreamReplayBytes);
    uint8_t head[kProbeBytes];
    if (!reader->Seek(0)) return FMOD_ERR_FILE_COULDNOTSEEK;
    int64_t got = reader->Read(head, sizeof head);
    if (got < 0) return FMOD_ERR_FILE_BAD;
    if (got == 0) return FMOD_ERR_FORMAT;  // an empty file is no sound

    struct Candidate {
        int score;
        const FormatEntry* entry;
    };
    std::vector<Candidate> candidates;
    auto consider = [&](const FormatEntry& entry) {
        int score = entry.probe(head, static_cast<size_t>(got));
        if (score > 0) candidates.push_back({score, &entry});
    };
    for (const FormatEntry& entry : kFormats) consider(entry);
    for (size_t i = 0; i < hints.systemFormatCount; ++i) consider(hints.systemFormats[i]);
    std::stable_sort(candidates.begin(), candidates.end(),
                     [](const Candidate& a, const Candidate& b) { return a.score > b.score; });
    FMOD_RESULT result = FMOD_ERR_FORMAT;
    for (const Candidate& c : candidates) {
        result = c.entry->open(reader, tags, out);
        if (result == FMOD_OK) return FMOD_OK;
        tags.Clear();  // a failed attempt may have added some
        if (!reader) return result;  // taken by a failed open, or a refusal that ends the search
    }
    // Headerless audio has nothing to recognise it by but its name.
    if (hints.headerlessRaw && result == FMOD_ERR_FORMAT) return OpenRaw(reader, tags, out);
    return result;
}

}  // namespace engine
